#pragma once

#include <QDialog>
#include <QString>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "layout/LayoutTable.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;
class QVBoxLayout;

namespace kesh::ui {

class SizeSpinBox;

// Texts of the layout dialogs.
inline constexpr const char* kEnterInteger = "정수를 입력하십시오.";
inline constexpr const char* kEnterIntegerBetween = "%1와(과) %2 사이의 정수를 입력하십시오.";
inline constexpr const char* kUnknownItem = "알 수 없는 항목 (%1)";
inline constexpr const char* kHeaderCheckText = "파일 제일 처음에 들어가는 문자열";
// The byte table beside the item list: column heads, then the total below it.
inline constexpr const char* kLayoutColumnOffset = "오프셋";
inline constexpr const char* kLayoutColumnLength = "길이";
inline constexpr const char* kLayoutColumnItem = "항목";
inline constexpr const char* kLayoutTotal = "전체 크기: %1 바이트";

// What the tile and map layout dialogs share: the two size fields, the
// ordered item list with its combo box, Add and DEL, and the header string
// that goes at the very beginning of the file. List line i always shows the
// item code at position i.
class CFormatDlgBase : public QDialog {
    Q_OBJECT
public:
    using MessageHandler = std::function<void(QWidget* parent, const QString& text)>;

    // Replaces the message box that reports a bad field (for tests).
    void setMessageHandler(MessageHandler handler) { m_messageHandler = std::move(handler); }

    // Checks the size fields; closes with OK only when they pass.
    void accept() override;

    // The values; sizes as last accepted by OK.
    int32_t width() const { return m_width; }
    int32_t height() const { return m_height; }
    const std::vector<uint8_t>& items() const { return m_items; }
    bool hasHeader() const;
    // The header string in code page 949, CR LF between lines.
    const std::string& headerBytes() const { return m_header; }

    SizeSpinBox* widthBox() const { return m_widthBox; }
    SizeSpinBox* heightBox() const { return m_heightBox; }
    QComboBox* itemCombo() const { return m_itemCombo; }
    QListWidget* itemList() const { return m_itemList; }
    QPushButton* addButton() const { return m_addButton; }
    QPushButton* delButton() const { return m_delButton; }
    QCheckBox* headerCheck() const { return m_headerCheck; }
    QPlainTextEdit* headerText() const { return m_headerText; }
    QLineEdit* headerLength() const { return m_headerLength; }
    // Where each item lands in the file, as the fields show the layout now
    // (read-only); the total size and the warnings in the lines below it.
    QTableWidget* layoutTable() const { return m_layoutTable; }
    QLabel* layoutTotal() const { return m_layoutTotal; }
    QLabel* layoutWarnings() const { return m_layoutWarnings; }

    // What a derived dialog fixes: labels, the size range and the item table.
    struct Setup {
        QString title;
        QString widthLabel;
        QString heightLabel;
        int stepLow = 0;
        int stepHigh = 0;
        bool sizeRangeChecked = false; // sizes must lie in the step range
        const char* (*itemText)(int code) = nullptr;
        int itemCount = 0;      // codes 0 to itemCount - 1, listed by code
        std::vector<int> later; // further codes, listed after them
    };
    // The values a dialog opens on.
    struct Values {
        bool hasHeader = false;
        std::string header; // code page 949
        int32_t width = 0;
        int32_t height = 0;
        std::vector<uint8_t> items;
        bool lockSize = false;
    };

protected:
    CFormatDlgBase(const Setup& setup, const Values& values, QWidget* parent);

    // The shared values of a layout dialog's edit (TileFormatEdit, MapFormatEdit).
    template <class Edit> static Values ValuesOf(const Edit& edit, bool lockSize) {
        Values values;
        values.hasHeader = edit.hasHeader;
        values.header = edit.header;
        values.width = edit.width;
        values.height = edit.height;
        values.items = edit.items;
        values.lockSize = lockSize;
        return values;
    }
    // Puts the shared values into an edit; the header is empty unless its check box is set.
    template <class Edit> void GetValues(Edit& edit) const {
        edit.hasHeader = hasHeader();
        edit.header = edit.hasHeader ? headerBytes() : std::string();
        edit.width = width();
        edit.height = height();
        edit.items = items();
    }

    // Where a derived dialog puts its own controls, between sizes and items.
    QVBoxLayout* optionsLayout() const { return m_optionsLayout; }

    // The layout as the fields show it now, for the byte table: a size that
    // is not an integer counts as the last one accepted; the header is empty
    // unless its check box is set.
    int32_t shownWidth() const;
    int32_t shownHeight() const;
    std::string shownHeader() const;
    // The byte table of the layout shown; a derived dialog adds its own data.
    virtual LayoutTable ComputeLayout() const = 0;
    // Fills the byte table, the total and the warnings again. Derived
    // dialogs call it once they are built and whenever a field of theirs changes.
    void UpdateLayout();
    // Shows `items` in the list instead of the items there.
    void ReplaceItems(std::vector<uint8_t> items);
    // The list line of an item: its text, or "unknown item". A derived
    // dialog that adds parameters to a line calls RefreshItemLines once it
    // is built and whenever the parameters change.
    virtual QString ItemLine(uint8_t code) const;
    void RefreshItemLines();
    // Told after each change of the item list (not while the base is built).
    virtual void ItemsChanged() {}
    // Reports a bad field (a message box, or the handler set for tests).
    void ShowMessage(const QString& text);

private:
    void BuildControls();
    void ShowValues(const Values& values);
    bool Listed(int code) const;
    int SelectedRow() const;
    void UpdateAddButton();
    void AddLayoutRows(const std::vector<LayoutEntry>& entries, const QString& indent);
    bool ReadSize(SizeSpinBox* box, int32_t& value);

    void OnAdd();
    void OnDel();
    void OnCheckHeader();
    void OnChangeHeader();

    Setup m_setup;
    int32_t m_width = 0;
    int32_t m_height = 0;
    bool m_lockSize = false;
    std::vector<uint8_t> m_items;
    std::string m_header;
    MessageHandler m_messageHandler;

    SizeSpinBox* m_widthBox = nullptr;
    SizeSpinBox* m_heightBox = nullptr;
    QVBoxLayout* m_optionsLayout = nullptr;
    QComboBox* m_itemCombo = nullptr;
    QListWidget* m_itemList = nullptr;
    QPushButton* m_addButton = nullptr;
    QPushButton* m_delButton = nullptr;
    QCheckBox* m_headerCheck = nullptr;
    QLineEdit* m_headerLength = nullptr;
    QPlainTextEdit* m_headerText = nullptr;
    QTableWidget* m_layoutTable = nullptr;
    QLabel* m_layoutTotal = nullptr;
    QLabel* m_layoutWarnings = nullptr;
    bool m_built = false; // the derived dialog has filled the byte table once
};

} // namespace kesh::ui
