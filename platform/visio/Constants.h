#pragma once

#include <cstdint>

// The numbers the program hands to the host: section, row and cell indices, row types, flags
// and object types, with Visio's own constant names.
namespace tess::visio {

// Sections.
inline constexpr int16_t visSectionObject = 1;
inline constexpr int16_t visSectionCharacter = 3;
inline constexpr int16_t visSectionParagraph = 4;
inline constexpr int16_t visSectionTab = 5;
inline constexpr int16_t visSectionScratch = 6;
inline constexpr int16_t visSectionConnectionPts = 7;
inline constexpr int16_t visSectionTextField = 8;
inline constexpr int16_t visSectionControls = 9;
inline constexpr int16_t visSectionFirstComponent = 10;
inline constexpr int16_t visSectionLastComponent = 239;
inline constexpr int16_t visSectionAction = 240;
inline constexpr int16_t visSectionLayer = 241;
inline constexpr int16_t visSectionUser = 242;
inline constexpr int16_t visSectionProp = 243;
inline constexpr int16_t visSectionHyperlink = 244;
inline constexpr int16_t visSectionReviewer = 245;
inline constexpr int16_t visSectionAnnotation = 246;
inline constexpr int16_t visSectionSmartTag = 247;
inline constexpr int16_t visSectionLineGradientStops = 248;
inline constexpr int16_t visSectionFillGradientStops = 249;
inline constexpr int16_t visSectionInval = 255;

constexpr bool IsGeometrySection(int16_t section) {
    return section >= visSectionFirstComponent && section <= visSectionLastComponent;
}

// Rows of the object section, each a single-row group.
inline constexpr int16_t visRowXFormOut = 1;
inline constexpr int16_t visRowLine = 2;
inline constexpr int16_t visRowFill = 3;
inline constexpr int16_t visRowXForm1D = 4;
inline constexpr int16_t visRowEvent = 5;
inline constexpr int16_t visRowLayerMem = 6;
inline constexpr int16_t visRowStyle = 8;
inline constexpr int16_t visRowForeign = 9;
inline constexpr int16_t visRowPage = 10;
inline constexpr int16_t visRowText = 11;
inline constexpr int16_t visRowTextXForm = 12;
inline constexpr int16_t visRowAlign = 14;
inline constexpr int16_t visRowLock = 15;
inline constexpr int16_t visRowHelpCopyright = 16;
inline constexpr int16_t visRowMisc = 17;
inline constexpr int16_t visRowRulerGrid = 18;
inline constexpr int16_t visRowDoc = 20;
inline constexpr int16_t visRowImage = 21;
inline constexpr int16_t visRowGroup = 22;
inline constexpr int16_t visRowShapeLayout = 23;
inline constexpr int16_t visRowPageLayout = 24;
inline constexpr int16_t visRowPrintProperties = 25;
/// Not a host row: the Glue Info cells (9 to 12) of the Miscellaneous row.
inline constexpr int16_t kRowGlueInfo = -4;

// Row positions.
inline constexpr int16_t visRowFirst = 0;
inline constexpr int16_t visRowComponent = 0;
inline constexpr int16_t visRowVertex = 1;
inline constexpr int16_t visRowLast = -2;

// Row types (row tags).
inline constexpr int16_t visTagDefault = 0;
inline constexpr int16_t visTagTab0 = 136;
inline constexpr int16_t visTagComponent = 137;
inline constexpr int16_t visTagMoveTo = 138;
inline constexpr int16_t visTagLineTo = 139;
inline constexpr int16_t visTagArcTo = 140;
inline constexpr int16_t visTagInfiniteLine = 141;
inline constexpr int16_t visTagEllipse = 143;
inline constexpr int16_t visTagEllipticalArcTo = 144;
inline constexpr int16_t visTagTab2 = 150;
inline constexpr int16_t visTagTab10 = 151;
inline constexpr int16_t visTagCnnctPt = 153;
inline constexpr int16_t visTagCtlPt = 162;
inline constexpr int16_t visTagSplineBeg = 165;
inline constexpr int16_t visTagSplineSpan = 166;
inline constexpr int16_t visTagCtlPtTip = 170;
inline constexpr int16_t visTagTab60 = 181;
inline constexpr int16_t visTagCnnctNamed = 185;
inline constexpr int16_t visTagCnnctPtABCD = 186;
inline constexpr int16_t visTagCnnctNamedABCD = 187;
inline constexpr int16_t visTagPolylineTo = 193;
inline constexpr int16_t visTagNURBSTo = 195;
inline constexpr int16_t visTagRelCubBezTo = 236;
inline constexpr int16_t visTagRelQuadBezTo = 237;
inline constexpr int16_t visTagRelMoveTo = 238;
inline constexpr int16_t visTagRelLineTo = 239;
inline constexpr int16_t visTagRelEllipticalArcTo = 240;

// Flags of SetFormulas / SetResults.
inline constexpr int16_t visSetFormulas = 1;
inline constexpr int16_t visSetBlastGuards = 2;
inline constexpr int16_t visSetTestCircular = 4;
inline constexpr int16_t visSetUniversalSyntax = 8;

// The exists-locally argument of SectionExists, RowExists and CellsSRCExists.
inline constexpr int16_t visExistsAnywhere = 0;
inline constexpr int16_t visExistsLocally = 1;

// Unit codes of a cell's result.
inline constexpr int16_t visNoCast = 252;  // the cell's own units

// Shape types.
inline constexpr int16_t visTypePage = 1;
inline constexpr int16_t visTypeGroup = 2;
inline constexpr int16_t visTypeShape = 3;
inline constexpr int16_t visTypeForeignObject = 4;
inline constexpr int16_t visTypeGuide = 5;
inline constexpr int16_t visTypeDoc = 6;

// Foreign types of a foreign object (bits).
inline constexpr int16_t visTypeMetafile = 0x10;
inline constexpr int16_t visTypeBitmap = 0x20;
inline constexpr int16_t visTypeIsLinked = 0x100;
inline constexpr int16_t visTypeIsEmbedded = 0x200;
inline constexpr int16_t visTypeIsControl = 0x400;

// Unique ID requests.
inline constexpr int16_t visGetGUID = 0;
inline constexpr int16_t visGetOrMakeGUID = 1;
inline constexpr int16_t visDeleteGUID = 2;

// Text runs and the bias of a row request on a range.
inline constexpr int16_t visCharPropRow = 1;
inline constexpr int16_t visParaPropRow = 2;
inline constexpr int16_t visTabPropRow = 3;
inline constexpr int16_t visWordRun = 10;
inline constexpr int16_t visParaRun = 11;
inline constexpr int16_t visFieldRun = 20;
inline constexpr int16_t visBiasLetVisioChoose = 0;
inline constexpr int16_t visBiasLeft = 1;
inline constexpr int16_t visBiasRight = 2;

// Window selection actions.
inline constexpr int16_t visDeselect = 1;
inline constexpr int16_t visSelect = 2;
inline constexpr int16_t visSubSelect = 3;
inline constexpr int16_t visSelectAll = 4;
inline constexpr int16_t visDeselectAll = 256;

// Cells the program names directly.
inline constexpr int16_t visCharacterColor = 1;
inline constexpr int16_t visCharacterSize = 7;
inline constexpr int16_t visIndentFirst = 0;

}  // namespace tess::visio
