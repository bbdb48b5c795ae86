#pragma once

#include "ui/Commands.h"

#include <QImage>

// The picture with that number, drawn on first use and kept; a null image for any other number.
// For the GUI thread only.
QImage Picture(int id);

// The application icon, size x size with a transparent background.
QImage AppIcon(int size);
