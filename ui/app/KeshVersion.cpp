namespace kesh::ui {
const char* Version() { return "1.0.0"; }
} // namespace kesh::ui
