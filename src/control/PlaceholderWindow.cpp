#include "control/PlaceholderWindow.h"

#include "control/FixedWindowFlags.h"

namespace pelsid {

namespace {

struct Entry {
    const char* name;
    const char* caption;
};

constexpr Entry kEntries[] = {
    {"frmLoadPreferences", "Load Preferences"},
    {"frmSavePreferences", "Save Preferences"},
    {"frmSaveDataset", "Save Dataset"},
    {"frmSaveScreenshots", "Save Screen Shots"},
};

}  // namespace

PlaceholderWindow::PlaceholderWindow(Kind kind, QWidget* parent)
    : QWidget(parent, fixedWindowFlags()) {
    setObjectName(nameOf(kind));
    setWindowTitle(captionOf(kind));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(312, 213);
}

QString PlaceholderWindow::nameOf(Kind kind) {
    return QString::fromLatin1(kEntries[int(kind)].name);
}

QString PlaceholderWindow::captionOf(Kind kind) {
    return QString::fromLatin1(kEntries[int(kind)].caption);
}

}  // namespace pelsid
