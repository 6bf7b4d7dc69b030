#pragma once

#include <cstdio>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/UserServices.h"

namespace kesh::test {

// A UserServices that answers from queues set up by the test and records
// every call in order, so a test can check the exact sequence of questions,
// messages and dialogs a procedure shows. A call whose queue is empty gets
// the cautious answer (No, Cancel, no file, dialog cancelled) and is
// reported through the failure hook: with GoogleTest included first that is
// ADD_FAILURE(); other test frameworks set their own with setFailureHook().
class ScriptedUserServices : public UserServices {
public:
    enum class Kind {
        YesNo,
        OkCancel,
        Message,
        OpenFile,
        SaveFile,
        TileFormat,
        MapFormat,
        ImportOptions,
        MakeTerrain
    };

    struct Call {
        Kind kind;
        std::string text;                        // question or message; empty otherwise
        FileDialogOptions file;                  // file choosers: what was asked for
        std::optional<TileFormatEdit> tile;      // tile layout dialog: the values it opened on
        std::optional<MapFormatEdit> map;        // map layout dialog: the values it opened on
        MessageIcon icon = MessageIcon::Warning; // messages: the icon shown
        std::optional<ImportOptionsEdit> import =
            std::nullopt;                   // image import dialog: the values it opened on
        std::string detail = std::string(); // Yes/No/Cancel questions: the line below the text
        std::optional<MakeTerrainEdit> terrain =
            std::nullopt; // 지형 만들기 dialog: the values it opened on
    };

    using TileEditor = std::function<void(TileFormatEdit&)>;
    using MapEditor = std::function<void(MapFormatEdit&)>;
    using ImportEditor = std::function<void(ImportOptionsEdit&)>;
    using TerrainEditor = std::function<void(MakeTerrainEdit&)>;
    using FailureHook = std::function<void(const std::string&)>;

    ScriptedUserServices() {
#ifdef ADD_FAILURE
        m_fail = [](const std::string& what) { ADD_FAILURE() << what; };
#else
        m_fail = [](const std::string& what) { std::fprintf(stderr, "%s\n", what.c_str()); };
#endif
    }

    void setFailureHook(FailureHook hook) {
        m_fail = std::move(hook);
    }

    // Answers, in the order they will be asked.
    ScriptedUserServices& yes() {
        return push(m_yesNo, Answer::Yes);
    }
    ScriptedUserServices& no() {
        return push(m_yesNo, Answer::No);
    }
    // Escape at a Yes/No/Cancel question (a Yes/No question takes it as No).
    ScriptedUserServices& cancelQuestion() {
        return push(m_yesNo, Answer::Cancel);
    }
    ScriptedUserServices& ok() {
        return push(m_okCancel, true);
    }
    ScriptedUserServices& cancel() {
        return push(m_okCancel, false);
    }
    ScriptedUserServices& openFile(std::string path) {
        return push(m_open, Path(std::move(path)));
    }
    ScriptedUserServices& cancelOpen() {
        return push(m_open, Path());
    }
    ScriptedUserServices& saveFile(std::string path) {
        return push(m_save, Path(std::move(path)));
    }
    ScriptedUserServices& cancelSave() {
        return push(m_save, Path());
    }
    // OK on the tile layout dialog, after `edit` changed the values (none: as shown).
    ScriptedUserServices& acceptTile(TileEditor edit = {}) {
        return push(m_tile,
                    std::optional<TileEditor>(edit ? std::move(edit) : [](TileFormatEdit&) {}));
    }
    // OK with these values, whatever the dialog showed.
    ScriptedUserServices& acceptTile(TileFormatEdit result) {
        return acceptTile([result](TileFormatEdit& e) { e = result; });
    }
    ScriptedUserServices& cancelTile() {
        return push(m_tile, std::optional<TileEditor>());
    }
    ScriptedUserServices& acceptMap(MapEditor edit = {}) {
        return push(m_map,
                    std::optional<MapEditor>(edit ? std::move(edit) : [](MapFormatEdit&) {}));
    }
    ScriptedUserServices& acceptMap(MapFormatEdit result) {
        return acceptMap([result](MapFormatEdit& e) { e = result; });
    }
    ScriptedUserServices& cancelMap() {
        return push(m_map, std::optional<MapEditor>());
    }
    // OK on the image import dialog, after `edit` changed the options.
    ScriptedUserServices& acceptImport(ImportEditor edit = {}) {
        return push(m_import, std::optional<ImportEditor>(edit ? std::move(edit)
                                                               : [](ImportOptionsEdit&) {}));
    }
    ScriptedUserServices& cancelImport() {
        return push(m_import, std::optional<ImportEditor>());
    }

    // OK on the dialog of 지형 만들기, after `edit` changed the answers.
    ScriptedUserServices& acceptTerrain(TerrainEditor edit = {}) {
        return push(m_terrain, std::optional<TerrainEditor>(edit ? std::move(edit)
                                                                 : [](MakeTerrainEdit&) {}));
    }
    ScriptedUserServices& cancelTerrain() {
        return push(m_terrain, std::optional<TerrainEditor>());
    }

    // Everything asked or shown so far, in order.
    const std::vector<Call>& calls() const {
        return m_calls;
    }
    // The same as short lines: "yesno: <text>", "okcancel: <text>",
    // "message: <text>", "open: <initial name>", "save: <initial name>",
    // "tile format", "map format", "import options", "make terrain".
    std::vector<std::string> transcript() const {
        std::vector<std::string> lines;
        for (const Call& c : m_calls)
            lines.push_back(Line(c));
        return lines;
    }
    // The messages shown, in order.
    std::vector<std::string> messages() const {
        std::vector<std::string> texts;
        for (const Call& c : m_calls)
            if (c.kind == Kind::Message)
                texts.push_back(c.text);
        return texts;
    }
    void clearCalls() {
        m_calls.clear();
    }
    // Whether every queued answer has been used.
    bool allUsed() const {
        return m_yesNo.empty() && m_okCancel.empty() && m_open.empty() && m_save.empty() &&
               m_tile.empty() && m_map.empty() && m_import.empty() && m_terrain.empty();
    }

    bool AskYesNo(const std::string& text) override {
        m_calls.push_back({Kind::YesNo, text, {}, {}, {}});
        return take(m_yesNo, Answer::No, "AskYesNo", text) == Answer::Yes;
    }
    // Recorded as a Yes/No question on `text`, with `detail` kept apart.
    Answer AskYesNoCancel(const std::string& text, const std::string& detail) override {
        Call call{Kind::YesNo, text, {}, {}, {}};
        call.detail = detail;
        m_calls.push_back(std::move(call));
        return take(m_yesNo, Answer::Cancel, "AskYesNoCancel", text);
    }
    bool AskOkCancel(const std::string& text) override {
        m_calls.push_back({Kind::OkCancel, text, {}, {}, {}});
        return take(m_okCancel, false, "AskOkCancel", text);
    }
    using UserServices::ShowMessage;
    void ShowMessage(const std::string& text, MessageIcon icon) override {
        m_calls.push_back({Kind::Message, text, {}, {}, {}, icon});
    }
    std::optional<std::string> ChooseOpenFile(const FileDialogOptions& options) override {
        m_calls.push_back({Kind::OpenFile, {}, options, {}, {}});
        return take(m_open, Path(), "ChooseOpenFile", options.initialName);
    }
    std::optional<std::string> ChooseSaveFile(const FileDialogOptions& options) override {
        m_calls.push_back({Kind::SaveFile, {}, options, {}, {}});
        return take(m_save, Path(), "ChooseSaveFile", options.initialName);
    }
    bool EditTileFormat(TileFormatEdit& edit) override {
        m_calls.push_back({Kind::TileFormat, {}, {}, edit, {}});
        const auto editor = take(m_tile, std::optional<TileEditor>(), "EditTileFormat", "");
        if (editor)
            (*editor)(edit);
        return editor.has_value();
    }
    bool EditMapFormat(MapFormatEdit& edit) override {
        m_calls.push_back({Kind::MapFormat, {}, {}, {}, edit});
        const auto editor = take(m_map, std::optional<MapEditor>(), "EditMapFormat", "");
        if (editor)
            (*editor)(edit);
        return editor.has_value();
    }

    bool EditImportOptions(ImportOptionsEdit& edit) override {
        Call call{Kind::ImportOptions, {}, {}, {}, {}, MessageIcon::Warning};
        call.import = edit;
        m_calls.push_back(std::move(call));
        const auto editor = take(m_import, std::optional<ImportEditor>(), "EditImportOptions", "");
        if (editor)
            (*editor)(edit);
        return editor.has_value();
    }

    bool EditMakeTerrain(MakeTerrainEdit& edit) override {
        Call call{Kind::MakeTerrain, {}, {}, {}, {}, MessageIcon::Warning};
        call.terrain = edit;
        m_calls.push_back(std::move(call));
        const auto editor = take(m_terrain, std::optional<TerrainEditor>(), "EditMakeTerrain", "");
        if (editor)
            (*editor)(edit);
        return editor.has_value();
    }

private:
    using Path = std::optional<std::string>;

    template <class T, class V> ScriptedUserServices& push(std::deque<T>& queue, V&& value) {
        queue.push_back(std::forward<V>(value));
        return *this;
    }

    template <class T>
    T take(std::deque<T>& queue, T fallback, const char* what, const std::string& detail) {
        if (queue.empty()) {
            if (m_fail)
                m_fail(std::string("unexpected ") + what + (detail.empty() ? "" : ": " + detail));
            return fallback;
        }
        T value = std::move(queue.front());
        queue.pop_front();
        return value;
    }

    static std::string Line(const Call& c) {
        switch (c.kind) {
        case Kind::YesNo:
            return "yesno: " + c.text;
        case Kind::OkCancel:
            return "okcancel: " + c.text;
        case Kind::Message:
            return "message: " + c.text;
        case Kind::OpenFile:
            return "open: " + c.file.initialName;
        case Kind::SaveFile:
            return "save: " + c.file.initialName;
        case Kind::TileFormat:
            return "tile format";
        case Kind::MapFormat:
            return "map format";
        case Kind::ImportOptions:
            return "import options";
        case Kind::MakeTerrain:
            return "make terrain";
        }
        return {};
    }

    std::deque<Answer> m_yesNo;
    std::deque<bool> m_okCancel;
    std::deque<Path> m_open, m_save;
    std::deque<std::optional<TileEditor>> m_tile;
    std::deque<std::optional<MapEditor>> m_map;
    std::deque<std::optional<ImportEditor>> m_import;
    std::deque<std::optional<TerrainEditor>> m_terrain;
    std::vector<Call> m_calls;
    FailureHook m_fail;
};

} // namespace kesh::test
