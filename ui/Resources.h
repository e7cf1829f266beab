#pragma once

#include <QIcon>
#include <QString>
#include <cstdint>

// What the windows take from the program's resources: texts from the string table, icons, and
// sizes given in twips.
namespace tess::ui {

/// The text of a string-table entry.
QString Res(int id);
/// Pixels for a length in twips (1/1440 inch) at the screen's resolution.
int Twips(double twips);
/// One of the program's own icons (resources/icons/<name>.svg); null when it cannot be drawn.
QIcon OwnIcon(const char* name);
/// The program's icon ("IDI_ICON1").
QIcon AppIcon();
/// The icon of a shape-tree node kind (image 1 to 7).
QIcon NodeIcon(int16_t image);
/// The icon of a heading of the shape tree (Masters, Pages).
QIcon HeadingIcon();

}  // namespace tess::ui
