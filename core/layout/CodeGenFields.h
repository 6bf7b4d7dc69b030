#pragma once

#include <ostream>
#include <string>

#include "layout/CodeGen.h"

namespace kesh::codegen {

// The C reader's parts for maps whose items hold cell fields: the field
// index macros and names, the struct member, the word reader, the NES
// table's reader and the call for one item. Nothing of these is written for
// a map without such items.
void CFieldDefinitions(std::ostream& out, const MapDescriptor& map);
std::string CFieldMember(const MapDescriptor& map);
void CFieldFunctions(std::ostream& out, const MapDescriptor& map);
void CFieldItem(std::ostream& out, const MapDescriptor& map, uint8_t code);

// The Python reader's parts: the word reader and the NES table's reader
// (each when the map has such items), and the call for one item.
void PythonFieldFunctions(std::ostream& out, const MapDescriptor& map);
void PythonFieldItem(std::ostream& out, const MapDescriptor& map, uint8_t code);

} // namespace kesh::codegen
