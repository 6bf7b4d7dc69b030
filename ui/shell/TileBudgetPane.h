#pragma once

#include <cstdint>

#include <QLabel>

#include "doc/Document.h"
#include "doc/DocumentListener.h"

namespace kesh::ui {

// The status bar pane of the tile budget: "타일 187 / 256", the tiles as the
// hardware stores them against the limit in force, the first figure red
// over the limit. Follows the document's tiles and both layouts.
class TileBudgetPane : public QLabel, private DocumentListener {
    Q_OBJECT
public:
    explicit TileBudgetPane(Document& doc, QWidget* parent = nullptr);
    ~TileBudgetPane() override;

    int32_t stored() const { return m_stored; }
    int64_t limit() const { return m_limit; }
    bool overLimit() const { return m_stored > m_limit; }

    // The pane's text for `stored` tiles against `limit`: plain within the
    // limit, the first figure in red beyond it.
    static QString Text(int32_t stored, int64_t limit);

private:
    void DocumentChanged(uint32_t changes) override;
    void Refresh();

    Document& m_doc;
    int32_t m_stored = 0;
    int64_t m_limit = 0;
};

} // namespace kesh::ui
