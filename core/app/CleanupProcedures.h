#pragma once

#include <cstdint>
#include <string>

#include "app/UserServices.h"
#include "doc/Document.h"
#include "doc/TileCleanup.h"
#include "map/TileUsage.h"
#include "tileset/NearDuplicates.h"

namespace kesh {

// Which way a pair of near tiles is merged: every cell of `from` then shows
// `into`.
struct PairMerge {
    int32_t from = 0;
    int32_t into = 0;
    bool operator==(const PairMerge&) const = default;
};

// The tile menu's clean-ups, "사용하지 않는 타일 지우기" and "같은 타일
// 합치기", and the merges of "비슷한 타일 찾기". Each is one step of the
// document (none when nothing would change); what it changed, that there was
// nothing to do, or why it was refused is told through `UserServices`.
class CleanupProcedures {
public:
    CleanupProcedures(Document& doc, UserServices& user) : m_doc(doc), m_user(user) {}

    // Drops the tiles no cell shows and renumbers the map. True when a step
    // was taken.
    bool RemoveUnused();
    // Merges tiles equal to a lower-numbered one, and mirror images of one
    // while the map has flip fields. True when a step was taken.
    bool MergeDuplicates();
    // Merges the pair `pair` the way PairDirection says, as one step, and
    // tells nothing unless it failed (the dialog shows PairText). True when
    // a step was taken; `summary` says what it changed.
    bool MergePair(const NearPair& pair, CleanupSummary& summary);
    // Merges every pair that differs in at most `most` pixels
    // (Document::MergeNearTiles) and tells the summary.
    bool MergeAllNear(int32_t most);

    // The less used tile of a pair goes into the more used one; when both
    // are used as often, the higher number goes into the lower. The same
    // rule as MergeAllNear's.
    static PairMerge PairDirection(const NearPair& pair, const TileUsage& usage);

    // The texts told after each clean-up: what was done on the first line,
    // the tiles before and after and the cells changed on the second.
    static std::string RemovedText(const CleanupSummary& summary);
    static std::string MergedText(const CleanupSummary& summary, bool mirrors);
    static std::string NearMergedText(const CleanupSummary& summary);
    // One pair merged from the dialog: "타일 7을 타일 3에 합쳤습니다. 셀 12개를 바꿨습니다."
    static std::string PairText(const PairMerge& merge, const CleanupSummary& summary);

private:
    // Shows `status`'s message when it failed, `text` when a step was taken,
    // `nothing` otherwise; true when a step was taken.
    bool Tell(const Status& status, uint64_t before, const std::string& text, const char* nothing);

    Document& m_doc;
    UserServices& m_user;
};

} // namespace kesh
