#pragma once
// Every picture of the program, painted with QPainter at its window's size.

#include "windows/layout.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <vector>

namespace remindo::painter {

struct Picture {
    QString name;          // resource name, ":/pictures/<name>.jpg" (at 2x "<name>@2x.jpg")
    QImage image;
    QStringList captions;  // every caption painted, in painting order
    QStringList problems;  // captions or parts that do not fit their places
    std::vector<layout::Rect> clickAreas; // the windows' click areas on it
};

// Names and sizes of all pictures, in a fixed order.
struct PictureInfo {
    const char* name;
    int width;
    int height;
};
const std::vector<PictureInfo>& PictureList();

// Paints one picture at `scale` device pixels per window pixel (its image
// that many times the listed size, with that device pixel ratio; click areas
// and captions' places in window pixels); an unknown name gives a picture
// with a null image.
Picture PaintPicture(const QString& name, int scale = 1);

} // namespace remindo::painter
