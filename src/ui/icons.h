#pragma once

#include <QIcon>

namespace fichora {

/// The pictures of the main window's buttons. Each comes from the desktop's icon theme when it has one
/// and is otherwise drawn here, so the window reads well with no theme installed.
enum class Glyph {
    Open,
    Close,
    New,
    Destroy,
    Restructure,
    FieldTypes,
    SheetImport,
    SheetAppend,
    TextImport,
    DbaseImport,
    SheetExport,
    TextExport,
    ColumnWidths,
    Help,
    Save,
    Quit,
    Preview,
    Print,
    PrintChoice,
    Language,
    About,
    Skin,
    Sort,
    Filter,
    FilterOff,
    EraseFilters,
    Photo,
    AllRecords,
    Seek,
    SeekNext,
    GiveUp,
    Abandon,
    OtherFiles,
    Protect,
    First,
    Prior,
    Next,
    Last,
    Insert,
    Delete,
    Edit,
    Post,
    Cancel,
    Refresh,
    Launch,
};

/// The glyph at `size` pixels (square), themed when the theme has it.
QIcon glyphIcon(Glyph glyph, int size = 32);
/// The glyph as drawn here, never themed.
QIcon drawnIcon(Glyph glyph, int size = 32);

} // namespace fichora
