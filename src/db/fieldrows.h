#pragma once

#include <array>
#include <string_view>

namespace fichora {

inline constexpr int kFieldCount = 23;

/// The controls of the main window that belong to one field. The designers numbered the controls in
/// the order they were drawn, not by field, so every operation that addresses a field's controls goes
/// through this table. An empty name means the field has no such control.
struct FieldRow
{
    int field;                   ///< 1..23
    std::string_view name;       ///< "F01".."F23"
    std::string_view label;      ///< caption label
    std::string_view editor;     ///< data editor (DBEdit.. or DBMemo1)
    std::string_view sortButton; ///< BitBtn..
    std::string_view pickList;   ///< ComboBox..
    std::string_view exportBox;  ///< CheckBox..
    std::string_view filterBox;  ///< Edit.. on Panel1
    int column;                  ///< grid column, 0-based
};

inline constexpr std::array<FieldRow, kFieldCount> kFieldRows = {{
    {1, "F01", "Label1", "DBEdit1", "BitBtn6", "ComboBox1", "CheckBox1", "Edit3", 0},
    {2, "F02", "Label2", "DBEdit2", "BitBtn7", "ComboBox2", "CheckBox2", "Edit4", 1},
    {3, "F03", "Label3", "DBEdit3", "BitBtn8", "ComboBox3", "CheckBox3", "Edit5", 2},
    {4, "F04", "Label12", "DBEdit12", "BitBtn9", "ComboBox4", "CheckBox4", "Edit6", 3},
    {5, "F05", "Label4", "DBEdit4", "BitBtn10", "ComboBox5", "CheckBox5", "Edit7", 4},
    {6, "F06", "Label5", "DBEdit5", "BitBtn11", "ComboBox6", "CheckBox6", "Edit8", 5},
    {7, "F07", "Label8", "DBEdit8", "BitBtn12", "ComboBox7", "CheckBox7", "Edit9", 6},
    {8, "F08", "Label6", "DBEdit6", "BitBtn13", "ComboBox8", "CheckBox8", "Edit10", 7},
    {9, "F09", "Label7", "DBEdit7", "BitBtn14", "ComboBox9", "CheckBox9", "Edit11", 8},
    {10, "F10", "Label9", "DBEdit9", "BitBtn15", "ComboBox10", "CheckBox10", "Edit12", 9},
    {11, "F11", "Label10", "DBEdit10", "BitBtn16", "ComboBox11", "CheckBox11", "Edit13", 10},
    {12, "F12", "Label16", "DBEdit13", "BitBtn31", "ComboBox12", "CheckBox12", "Edit16", 11},
    {13, "F13", "Label17", "DBEdit14", "BitBtn32", "ComboBox13", "CheckBox13", "Edit17", 12},
    {14, "F14", "Label18", "DBEdit15", "BitBtn33", "ComboBox14", "CheckBox14", "Edit18", 13},
    {15, "F15", "Label19", "DBEdit16", "BitBtn34", "ComboBox15", "CheckBox15", "Edit19", 14},
    {16, "F16", "Label20", "DBEdit17", "BitBtn35", "ComboBox16", "CheckBox16", "Edit20", 15},
    {17, "F17", "Label25", "DBEdit18", "BitBtn36", "ComboBox17", "CheckBox17", "Edit23", 16},
    {18, "F18", "Label26", "DBEdit19", "BitBtn37", "ComboBox18", "CheckBox18", "Edit24", 17},
    {19, "F19", "Label27", "DBEdit20", "BitBtn38", "ComboBox19", "CheckBox19", "Edit25", 18},
    {20, "F20", "Label28", "DBEdit21", "BitBtn39", "ComboBox20", "CheckBox20", "Edit26", 19},
    {21, "F21", "Label29", "DBEdit22", "BitBtn40", "ComboBox21", "CheckBox21", "Edit27", 20},
    {22, "F22", "Label30", "DBMemo1", "BitBtn41", "", "CheckBox22", "Edit28", 21},
    {23, "F23", "", "DBEdit11", "", "", "CheckBox23", "", 22},
}};

/// The row of field n (1..23).
constexpr const FieldRow& fieldRow(int field)
{
    return kFieldRows[static_cast<std::size_t>(field - 1)];
}

} // namespace fichora
