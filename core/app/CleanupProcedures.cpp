#include "app/CleanupProcedures.h"

#include <algorithm>

#include "base/Messages.h"

namespace kesh {

namespace {

constexpr const char* kNothingToRemove = "지울 타일이 없습니다.";
constexpr const char* kNothingToMerge = "합칠 타일이 없습니다.";

// 3412 as "3,412".
std::string Grouped(uint64_t n) {
    std::string digits = std::to_string(n);
    for (int i = int(digits.size()) - 3; i > 0; i -= 3)
        digits.insert(size_t(i), 1, ',');
    return digits;
}

// The object particle after a number read in Sino-Korean: 을 after a final
// consonant (영 일 삼 육 칠 팔, and 십 백 천 만 for a number ending in 0), 를
// after a vowel (이 사 오 구).
const char* ObjectParticle(int64_t n) {
    switch (n % 10) {
    case 2:
    case 4:
    case 5:
    case 9:
        return "를";
    default:
        return "을";
    }
}

// "타일 120개 → 97개, 셀 3,412개를 바꿨습니다."
std::string Counts(const CleanupSummary& s) {
    std::string text = "타일 " + Grouped(uint64_t(s.tilesBefore)) + "개 → " +
                       Grouped(uint64_t(s.tilesAfter)) + "개, ";
    return text + (s.cellsChanged == 0 ? std::string("바뀐 셀은 없습니다.")
                                       : "셀 " + Grouped(s.cellsChanged) + "개를 바꿨습니다.");
}

} // namespace

PairMerge CleanupProcedures::PairDirection(const NearPair& pair, const TileUsage& usage) {
    const auto used = [&](int32_t t) {
        return size_t(t) < usage.counts.size() ? usage.counts[size_t(t)] : 0;
    };
    const int32_t low = std::min(pair.a, pair.b), high = std::max(pair.a, pair.b);
    return used(low) >= used(high) ? PairMerge{high, low} : PairMerge{low, high};
}

std::string CleanupProcedures::RemovedText(const CleanupSummary& s) {
    return "사용하지 않는 타일 " + Grouped(uint64_t(s.tilesRemoved)) + "개를 지웠습니다.\n" +
           Counts(s);
}

std::string CleanupProcedures::MergedText(const CleanupSummary& s, bool mirrors) {
    return std::string(mirrors ? "같은 타일(뒤집은 모양 포함) " : "같은 타일 ") +
           Grouped(uint64_t(s.tilesMerged)) + "개를 합쳤습니다.\n" + Counts(s);
}

std::string CleanupProcedures::NearMergedText(const CleanupSummary& s) {
    return "비슷한 타일 " + Grouped(uint64_t(s.tilesMerged)) + "쌍을 합쳤습니다.\n" + Counts(s);
}

std::string CleanupProcedures::PairText(const PairMerge& merge, const CleanupSummary& s) {
    std::string text = "타일 " + std::to_string(merge.from) + ObjectParticle(merge.from) +
                       " 타일 " + std::to_string(merge.into) + "에 합쳤습니다. ";
    return text + (s.cellsChanged == 0 ? std::string("바뀐 셀은 없습니다.")
                                       : "셀 " + Grouped(s.cellsChanged) + "개를 바꿨습니다.");
}

bool CleanupProcedures::Tell(const Status& status, uint64_t before, const std::string& text,
                             const char* nothing) {
    if (!status) {
        m_user.ShowMessage(status.message());
        return false;
    }
    const bool done = m_doc.historyRevision() != before;
    m_user.ShowMessage(done ? text : std::string(nothing), MessageIcon::None);
    return done;
}

bool CleanupProcedures::RemoveUnused() {
    const uint64_t before = m_doc.historyRevision();
    CleanupSummary summary;
    const Status st = m_doc.RemoveUnusedTiles(summary);
    return Tell(st, before, RemovedText(summary), kNothingToRemove);
}

bool CleanupProcedures::MergeDuplicates() {
    const uint64_t before = m_doc.historyRevision();
    CleanupSummary summary;
    const Status st = m_doc.MergeDuplicateTiles(true, summary);
    return Tell(st, before, MergedText(summary, m_doc.mapFlips() != 0), kNothingToMerge);
}

bool CleanupProcedures::MergeAllNear(int32_t most) {
    const uint64_t before = m_doc.historyRevision();
    CleanupSummary summary;
    const Status st = m_doc.MergeNearTiles(most, summary);
    return Tell(st, before, NearMergedText(summary), kNothingToMerge);
}

bool CleanupProcedures::MergePair(const NearPair& pair, CleanupSummary& summary) {
    const uint64_t before = m_doc.historyRevision();
    const TileUsage usage = TileUsage::Count(m_doc.map().cells(), m_doc.tiles().count());
    const PairMerge merge = PairDirection(pair, usage);
    const Status st = m_doc.MergeTiles(merge.from, merge.into, 0, summary);
    if (!st) {
        m_user.ShowMessage(st.message());
        return false;
    }
    return m_doc.historyRevision() != before;
}

} // namespace kesh
