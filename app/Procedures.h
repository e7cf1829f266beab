#pragma once

#include <string_view>

// Every procedure that reports its failures, by the module and procedure names its error report
// gives. Traps name their procedure from here.
namespace tess::app {

struct Procedure {
    std::string_view module;
    std::string_view name;
};

namespace proc {

namespace module {
inline constexpr std::string_view kGeneral = "modGeneral";
inline constexpr std::string_view kAddon = "Addon";
inline constexpr std::string_view kMainForm = "frmCellCopy";
inline constexpr std::string_view kShapeFunctions = "modShapeFunctions";
inline constexpr std::string_view kSectionsTab = "modSectionsTab";
inline constexpr std::string_view kRowsTab = "modRowsTab";
inline constexpr std::string_view kRowOrderTab = "modRowOrderTab";
inline constexpr std::string_view kShapesTab = "modShapesTab";
inline constexpr std::string_view kCopyErrorDetails = "frmCopyErrorDetails";
inline constexpr std::string_view kSetIcons = "modSetIcons";
}  // namespace module

// Start-up and the host connection.
inline constexpr Procedure Main{module::kGeneral, "Main"};
inline constexpr Procedure IsTessalineAlreadyLoaded{module::kGeneral, "IsTessalineAlreadyLoaded"};
inline constexpr Procedure LoadApplicationResourceStrings{module::kGeneral,
                                                          "LoadApplicationResourceStrings"};
inline constexpr Procedure Display{module::kAddon, "Display"};
inline constexpr Procedure CleanUp{module::kAddon, "CleanUp"};

// The main window.
inline constexpr Procedure BeginCopy{module::kMainForm, "BeginCopy"};
inline constexpr Procedure PrepareSections{module::kMainForm, "PrepareSections"};
inline constexpr Procedure CopySections{module::kMainForm, "CopySections"};
inline constexpr Procedure CopySubShapes{module::kMainForm, "CopySubShapes"};
inline constexpr Procedure ReplaceSubShapes{module::kMainForm, "ReplaceSubShapes"};
inline constexpr Procedure ReadRegistrySettings{module::kMainForm, "ReadRegistrySettings"};
inline constexpr Procedure WriteRegistrySettings{module::kMainForm, "WriteRegistrySettings"};
inline constexpr Procedure tabstripMain_Click{module::kMainForm, "tabstripMain_Click"};
inline constexpr Procedure tvwShapes_Expand{module::kMainForm, "tvwShapes_Expand"};
inline constexpr Procedure lstNewOrder_Click{module::kMainForm, "lstNewOrder_Click"};
inline constexpr Procedure cmdAddPagesToSource_Click{module::kMainForm,
                                                     "cmdAddPagesToSource_Click"};
inline constexpr Procedure cmdAddPagesToDest_Click{module::kMainForm, "cmdAddPagesToDest_Click"};
inline constexpr Procedure OpenDrawings{module::kMainForm, "OpenDrawings"};
inline constexpr Procedure Undo{module::kMainForm, "Undo"};
inline constexpr Procedure Redo{module::kMainForm, "Redo"};

// The copy engine.
inline constexpr Procedure CopyRow{module::kShapeFunctions, "CopyRow"};
inline constexpr Procedure CopySection{module::kShapeFunctions, "CopySection"};
inline constexpr Procedure CopyNamedRowSection{module::kShapeFunctions, "CopyNamedRowSection"};
inline constexpr Procedure CopyNamedRows{module::kShapeFunctions, "CopyNamedRows"};
inline constexpr Procedure CopyRows{module::kShapeFunctions, "CopyRows"};
inline constexpr Procedure GetGeometryCells{module::kShapeFunctions, "GetGeometryCells"};
inline constexpr Procedure CopyGeometrySection{module::kShapeFunctions, "CopyGeometrySection"};
inline constexpr Procedure CopyGeometryRows{module::kShapeFunctions, "CopyGeometryRows"};
inline constexpr Procedure AddNewRows{module::kShapeFunctions, "AddNewRows"};
inline constexpr Procedure PrepareSection{module::kShapeFunctions, "PrepareSection"};
inline constexpr Procedure PrepareGeometrySection{module::kShapeFunctions,
                                                  "PrepareGeometrySection"};
inline constexpr Procedure PrepareCharactersSection{module::kShapeFunctions,
                                                    "PrepareCharactersSection"};
inline constexpr Procedure PrepareParagraphSection{module::kShapeFunctions,
                                                   "PrepareParagraphSection"};
inline constexpr Procedure SetCharacterText{module::kShapeFunctions, "SetCharacterText"};
inline constexpr Procedure GetSectionString{module::kShapeFunctions, "GetSectionString"};
inline constexpr Procedure GetObjectSectionRowString{module::kShapeFunctions,
                                                     "GetObjectSectionRowString"};
inline constexpr Procedure GetCellIndicies{module::kShapeFunctions, "GetCellIndicies"};
inline constexpr Procedure ResolveReferences{module::kShapeFunctions, "ResolveReferences"};
inline constexpr Procedure ResolveReferencesToSelf{module::kShapeFunctions,
                                                   "ResolveReferencesToSelf"};
inline constexpr Procedure ResolveReferencesToRows{module::kShapeFunctions,
                                                   "ResolveReferencesToRows"};
inline constexpr Procedure ResolveGeometryRowReferences{module::kShapeFunctions,
                                                        "ResolveGeometryRowReferences"};
inline constexpr Procedure ResolveGeometryReferencesToSelf{module::kShapeFunctions,
                                                           "ResolveGeometryReferencesToSelf"};
inline constexpr Procedure GetRowDetails{module::kShapeFunctions, "GetRowDetails"};

// The tabs.
inline constexpr Procedure EnableDisableSectionsShape{module::kSectionsTab,
                                                      "EnableDisableSectionsShape"};
inline constexpr Procedure EnableDisableSectionsPage{module::kSectionsTab,
                                                     "EnableDisableSectionsPage"};
inline constexpr Procedure EnableDisableSectionsDocument{module::kSectionsTab,
                                                         "EnableDisableSectionsDocument"};
inline constexpr Procedure SetupRowsTab{module::kRowsTab, "SetupRowsTab"};
inline constexpr Procedure UpdateRowsOnRowsTab{module::kRowsTab, "UpdateRowsOnRowsTab"};
inline constexpr Procedure ResetRowSection{module::kRowsTab, "ResetRowSection"};
inline constexpr Procedure RefreshRowsList{module::kRowsTab, "RefreshRowsList"};
inline constexpr Procedure AddRowsToListBox{module::kRowsTab, "AddRowsToListBox"};
inline constexpr Procedure AddNamedRowsToListBox{module::kRowsTab, "AddNamedRowsToListBox"};
inline constexpr Procedure AddGeometryRowsToListBox{module::kRowsTab, "AddGeometryRowsToListBox"};
inline constexpr Procedure CheckRow{module::kRowsTab, "CheckRow"};
inline constexpr Procedure SelectRow{module::kRowsTab, "SelectRow"};
inline constexpr Procedure ShouldWeCopySection{module::kRowsTab, "ShouldWeCopySection"};
inline constexpr Procedure GetGeometryRowType{module::kRowsTab, "GetGeometryRowType"};
inline constexpr Procedure SetupRowOrderTab{module::kRowOrderTab, "SetupRowOrderTab"};
inline constexpr Procedure UpdateRowsOnRowOrderTab{module::kRowOrderTab, "UpdateRowsOnRowOrderTab"};
inline constexpr Procedure ResetRowOrderSection{module::kRowOrderTab, "ResetRowOrderSection"};
inline constexpr Procedure RefreshOrderLists{module::kRowOrderTab, "RefreshOrderLists"};
inline constexpr Procedure UpdateLists{module::kRowOrderTab, "UpdateLists"};
inline constexpr Procedure MoveRowUp{module::kRowOrderTab, "MoveRowUp"};
inline constexpr Procedure MoveRowDown{module::kRowOrderTab, "MoveRowDown"};

// The shape tree and the lists.
inline constexpr Procedure BuildTree{module::kShapesTab, "BuildTree"};
inline constexpr Procedure AddNodeToTree{module::kShapesTab, "AddNodeToTree"};
inline constexpr Procedure ReplaceDummy{module::kShapesTab, "ReplaceDummy"};
inline constexpr Procedure HighlightSelectedShape{module::kShapesTab, "HighlightSelectedShape"};
inline constexpr Procedure AddSourceShape{module::kShapesTab, "AddSourceShape"};
inline constexpr Procedure AddDestinationShape{module::kShapesTab, "AddDestinationShape"};
inline constexpr Procedure SetDefaultSourceShape{module::kShapesTab, "SetDefaultSourceShape"};
inline constexpr Procedure FilterTree{module::kShapesTab, "FilterTree"};
inline constexpr Procedure ShowInTree{module::kShapesTab, "ShowInTree"};

// The dialogs and window helpers.
inline constexpr Procedure CopyErrorDetails_Form_Load{module::kCopyErrorDetails, "Form_Load"};
inline constexpr Procedure SetIcon{module::kSetIcons, "SetIcon"};

}  // namespace proc
}  // namespace tess::app
