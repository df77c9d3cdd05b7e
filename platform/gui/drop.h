#pragma once

#include <string>

class QMimeData;

namespace parlavo {

class MainWindow;

// Files dropped on a path box: the first file's full path becomes the box's whole text (as if typed,
// so the change notifies); other files are ignored; a drop of links without a local file empties the
// box. Nothing is cut from the path.
void installPathDrop(MainWindow& window, int id);

// The first local file of a drop, as the bytes of its file name ("" when it holds none).
std::string droppedFileName(const QMimeData& data);

} // namespace parlavo
