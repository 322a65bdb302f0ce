#include "shell/QtDialogs.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <cstdio>

#include "raster/Color.h"

namespace pelsid {

namespace {
QMessageBox::Icon qtIcon(Dialogs::Icon icon) {
    switch (icon) {
        case Dialogs::Icon::None:
            return QMessageBox::NoIcon;
        case Dialogs::Icon::Information:
            return QMessageBox::Information;
        case Dialogs::Icon::Warning:
            return QMessageBox::Warning;
        case Dialogs::Icon::Critical:
            return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}
QString q(const std::string& s) {
    return QString::fromStdString(s);
}
}  // namespace

bool QtDialogs::question(const std::string& title, const std::string& text) {
    QMessageBox box(QMessageBox::Warning, q(title), q(text), QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

void QtDialogs::message(Icon icon, const std::string& title, const std::string& text) {
    QMessageBox box(qtIcon(icon), q(title), q(text), QMessageBox::Ok);
    box.exec();
}

std::string QtDialogs::openFileName(const std::string& title, const std::string& folder) {
    // The file's first bytes decide its format, so All Files stays on offer.
    const QString filters = QStringLiteral(
        "Captures and datasets (*.pcap *.pcapng *.cap *.pelsid *.gz *.zst *.lz4);;"
        "All Files (*)");
    return QFileDialog::getOpenFileName(nullptr, q(title), q(folder), filters).toStdString();
}

std::string QtDialogs::saveCaptureFileName(const std::string& title, const std::string& folder) {
    QFileDialog dialog(nullptr, q(title), q(folder));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const QString pcap = QStringLiteral("pcap files (*.pcap)");
    const QString pcapng = QStringLiteral("pcapng files (*.pcapng)");
    dialog.setNameFilters({pcap, pcapng});
    // A name typed without a suffix takes the one of the chosen type.
    dialog.setDefaultSuffix(QStringLiteral("pcap"));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& filter) {
        dialog.setDefaultSuffix(filter == pcapng ? QStringLiteral("pcapng")
                                                 : QStringLiteral("pcap"));
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first().toStdString();
}

std::string QtDialogs::askText(const std::string& title, const std::string& label) {
    return QInputDialog::getText(nullptr, q(title), q(label)).toStdString();
}

int QtDialogs::choose(const std::string& title, const std::string& text,
                      const std::vector<std::string>& choices) {
    QMessageBox box(QMessageBox::Question, q(title), q(text));
    std::vector<QAbstractButton*> buttons;
    for (const std::string& c : choices)
        buttons.push_back(box.addButton(q(c), QMessageBox::AcceptRole));
    box.addButton(QMessageBox::Cancel);
    if (!buttons.empty()) box.setDefaultButton(static_cast<QPushButton*>(buttons.front()));
    box.exec();
    for (std::size_t i = 0; i < buttons.size(); ++i)
        if (box.clickedButton() == buttons[i]) return int(i);
    return -1;
}

std::uint32_t QtDialogs::chooseColor(std::uint32_t initial) {
    const QColor c = QColorDialog::getColor(QColor::fromRgb(toQRgb(initial)));
    return c.isValid() ? fromQRgb(c.rgb()) : initial;
}

bool ConsoleDialogs::question(const std::string& title, const std::string& text) {
    std::fprintf(stderr, "%s: %s (answered Yes)\n", title.c_str(), text.c_str());
    return true;
}

void ConsoleDialogs::message(Icon icon, const std::string& title, const std::string& text) {
    if (icon == Icon::Critical) failed = true;
    std::fprintf(stderr, "%s: %s\n", title.empty() ? "pelsid" : title.c_str(), text.c_str());
}

}  // namespace pelsid
