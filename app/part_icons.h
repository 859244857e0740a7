// Toolbar pictures: a part button shows the part's own picture (the part
// made by the catalogue, drawn through the drawing layer into a small
// image); standard actions take the desktop's icon theme and fall back to
// our own pictures (resources/icons/<theme name>.pic).
#pragma once

#include <QIcon>
#include <QImage>
#include <QString>

// The icon of an Add command's part; null when the part cannot be made or
// draws nothing.
QIcon PartIcon(int addCommandId);
// The part's picture as drawn (white background), before scaling.
QImage RenderPartPicture(int addCommandId);
// Our own picture for a theme icon name; null when there is none.
QIcon FallbackIcon(const QString& themeName);
// The icon of a toolbar command: its row's theme icon (or our picture for
// it), else the picture of the part it adds (a category button shows its
// part from the toolbar layouts).
QIcon CommandIcon(int commandId);
