#include "commands/RenderCommand.h"

#include <sys/stat.h>
#include <unistd.h>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "control/FilterSettings.h"
#include "control/Screenshots.h"
#include "fieldviews/AxisStore.h"
#include "pipeline/FilterModel.h"
#include "pipeline/Ingest.h"
#include "pipeline/Pipeline.h"
#include "shell/QtDialogs.h"
#include "shell/ViewRenderers.h"
#include "store/PacketBuffer.h"
#include "views/Thumbnails.h"

namespace pelsid {

namespace {
int fail(const QString& message) {
    std::fprintf(stderr, "pelsid: %s\n", qPrintable(message));
    return 1;
}

/// A point asked about with --pick: a picture of a view window and a pixel of it.
struct PickRequest {
    QString name;     // as given: frmVisN, frmVis6.left or frmVis6.right
    QString window;   // frmVisN
    QString picture;  // the picture's object name
    int x = 0;
    int y = 0;
};

std::optional<PickRequest> parsePick(const QString& text) {
    static const QRegularExpression form(
        QStringLiteral("^(frmVis[1-6])(\\.(left|right))?:(\\d{1,6}),(\\d{1,6})$"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch()) return std::nullopt;
    const QString part = m.captured(3);
    if (!part.isEmpty() && m.captured(1) != QLatin1String("frmVis6")) return std::nullopt;
    PickRequest pick;
    pick.name = m.captured(1) + m.captured(2);
    pick.window = m.captured(1);
    pick.picture = part.isEmpty()                  ? QStringLiteral("picGraph")
                   : part == QLatin1String("left") ? QStringLiteral("picgraphLeftFront")
                                                   : QStringLiteral("picgraphRightFront");
    pick.x = m.captured(4).toInt();
    pick.y = m.captured(5).toInt();
    return pick;
}

/// Prints the packet that drew the pick's pixel: window, x, y, number (0 for
/// none) and its summary, tab-separated.
bool answerPick(ViewRenderers& views, Pipeline& pipeline, const PickRequest& pick) {
    const ViewRenderer& view = views.at(ViewRenderers::indexOf(pick.window));
    if (!view.picture(pick.picture)) {
        fail(QStringLiteral("no picture for %1").arg(pick.name));
        return false;
    }
    const std::uint32_t number = view.packetAt(pick.picture, {pick.x, pick.y});
    const std::unique_ptr<HeldPacket> held = pipeline.lookUp(int(number));
    std::printf("%s\t%d\t%d\t%u\t%s\n", qPrintable(pick.name), pick.x, pick.y, number,
                held ? held->summary.c_str() : "");
    return true;
}

/// What a render draws with: the buffer, the filters, the thumbnails and
/// the seven renderers, every one shown. No window.
struct RenderSet : ViewSet {
    PacketBuffer buffer;
    FilterModel filters;
    Thumbnails thumbnails;
    AxisStore axes;
    ViewRenderers views{thumbnails, axes};
    Pipeline pipeline{buffer, filters, *this};

    PacketView& view(int index) override { return views.at(index); }
    bool isShown(int) override { return true; }

    /// `--set WINDOW.CONTROL=VALUE`: an error message, or empty.
    QString set(const QString& window, const QString& control, const QString& value) {
        if (window == QLatin1String("frmEncodings"))
            return applySetting(filterSettingControls(filters), window, control, value);
        const int index = ViewRenderers::indexOf(window);
        if (index < 0) return QStringLiteral("unknown window: %1").arg(window);
        return applySetting(views.at(index).settingControls(), window, control, value);
    }

    /// Stores the file's packets and plays them; false when it holds none
    /// that can be loaded. Its problems go to `dialogs`.
    bool load(const QString& path, const CaptureFile& file, Dialogs& dialogs) {
        Ingest ingest(buffer, pipeline, dialogs);
        ingest.problems(file, QDir::toNativeSeparators(path).toStdString());
        if (!file.isLoadable()) return false;
        int stored = 0;
        const int first = ingest.store(file, &stored);
        ingest.play(first, first + stored - 1);
        return true;
    }
};
}  // namespace

int runRenderCommand(const QStringList& args, std::future<CaptureFile> early,
                     const QByteArray& nativeDir, const LoadChoice& choice) {
    if (args.size() < 2)
        return fail(
            QStringLiteral("usage: pelsid --render DIR FILE [--set WINDOW.CONTROL=VALUE]... "
                           "[--pick WINDOW:X,Y]..."));
    const QString dir = args[0], file = args[1];
    if (dir.isEmpty())
        return fail(QStringLiteral("no folder given: DIR must name a folder (\".\" for this one)"));
    // A name that is not valid in the locale's encoding has no QString that
    // names it: such a folder is entered by its bytes and written by relative names.
    const QByteArray native = nativeDir.isEmpty() ? QFile::encodeName(dir) : nativeDir;
    const bool nameable = QFile::encodeName(dir) == native;
    struct stat info {};
    if (::stat(native.constData(), &info) != 0 || !S_ISDIR(info.st_mode))
        return fail(QStringLiteral("no such folder: %1").arg(dir));

    ConsoleDialogs dialogs;
    RenderSet render;
    render.buffer.initBuffer();

    std::vector<PickRequest> picks;
    for (int i = 2; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--pick") && i + 1 < args.size()) {
            const std::optional<PickRequest> pick = parsePick(args[++i]);
            if (!pick) return fail(QStringLiteral("bad pick: %1 (WINDOW:X,Y)").arg(args[i]));
            picks.push_back(*pick);
            continue;
        }
        if (args[i] != QLatin1String("--set") || i + 1 >= args.size())
            return fail(QStringLiteral("unexpected argument: %1").arg(args[i]));
        const QString setting = args[++i];
        const int dot = setting.indexOf(QLatin1Char('.')), eq = setting.indexOf(QLatin1Char('='));
        if (dot <= 0 || eq <= dot + 1)
            return fail(QStringLiteral("bad setting: %1 (WINDOW.CONTROL=VALUE)").arg(setting));
        const QString error =
            render.set(setting.left(dot), setting.mid(dot + 1, eq - dot - 1), setting.mid(eq + 1));
        if (!error.isEmpty()) return fail(error);
    }

    // A fresh buffer asks nothing; the pictures are made ready while the file
    // is still read on the other core.
    render.pipeline.clearAllViews();
    ReadOptions options;
    options.choice = choice;
    // The file's bytes go once stored: the buffer holds the packets.
    if (!render.load(file,
                     early.valid()
                         ? early.get()
                         : readCaptureFile(QFile::encodeName(file).toStdString(), options),
                     dialogs))
        return 1;
    render.pipeline.playToEnd();

    QString folder = dir;
    if (!nameable) {
        if (::chdir(native.constData()) != 0)
            return fail(QStringLiteral("cannot enter %1: %2")
                            .arg(dir, QString::fromLocal8Bit(std::strerror(errno))));
        folder = QStringLiteral(".");
    }
    const QString stamp = screenshotStamp(QDateTime::currentDateTime());
    std::vector<const ViewRenderer*> shown;
    for (int i = 0; i < 6; ++i) shown.push_back(&render.views.at(i));
    QString error = saveScreenshots(shown, folder, stamp);
    for (int n = 1; n <= 6 && error.isEmpty(); ++n)
        saveShot(render.thumbnails.vis(n), folder, stamp,
                 qPrintable(QStringLiteral("_thumb%1.bmp").arg(n)), &error);
    if (!error.isEmpty()) return fail(error);
    for (const PickRequest& pick : picks)
        if (!answerPick(render.views, render.pipeline, pick)) return 1;
    return dialogs.failed ? 1 : 0;
}

}  // namespace pelsid
