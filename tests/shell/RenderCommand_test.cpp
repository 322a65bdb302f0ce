#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "pipeline/PacketSelection.h"
#include "support/AppRig.h"
#include "views/ViewWindow.h"
#include "widgets/SurfaceWidget.h"

namespace {

// Runs the program in `folder` with arguments passed as bytes (no shell, no
// decoding); its error output goes to `errors`. The exit status, or -1.
int runPelsid(const std::string& folder, std::vector<std::string> args, const std::string& errors,
              const std::string& output = {}) {
    args.insert(args.begin(), PELSID_EXECUTABLE);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        const int fd = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0 || dup2(fd, 2) < 0 || chdir(folder.c_str()) != 0) _exit(126);
        if (!output.empty()) {
            const int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (out < 0 || dup2(out, 1) < 0) _exit(126);
        }
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

std::vector<std::string> filesIn(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* d = opendir(folder.c_str())) {
        while (const dirent* e = readdir(d))
            if (e->d_name[0] != '.') names.emplace_back(e->d_name);
        closedir(d);
    }
    return names;
}

std::string readAll(const std::string& path) {
    QFile f(QString::fromStdString(path));
    f.open(QIODevice::ReadOnly);
    return f.readAll().toStdString();
}

const std::string kCapture = std::string(PELSID_TEST_DATA) + "/lo_ethernet.pcap";

}  // namespace

TEST(RenderCommand, AnEmptyFolderIsAnErrorAndNothingIsWritten) {
    QTemporaryDir work;
    const std::string here = work.path().toStdString() + "/here";
    ASSERT_EQ(mkdir(here.c_str(), 0755), 0);
    const std::string errors = work.path().toStdString() + "/errors.txt";
    EXPECT_EQ(runPelsid(here, {"--render", "", kCapture}, errors), 1);
    EXPECT_TRUE(filesIn(here).empty());
    EXPECT_NE(readAll(errors).find("folder"), std::string::npos) << readAll(errors);
}

TEST(RenderCommand, FolderAndFileNamesThatAreNotUtf8) {
    QTemporaryDir work;
    const std::string root = work.path().toStdString();
    const std::string folder = "shots\xE9\xFF";  // Latin-1, not UTF-8
    const std::string file = "capture\xE9.pcap";
    ASSERT_EQ(mkdir((root + "/" + folder).c_str(), 0755), 0);
    ASSERT_TRUE(QFile::copy(QString::fromStdString(kCapture), work.filePath("plain.pcap")));
    ASSERT_EQ(rename((root + "/plain.pcap").c_str(), (root + "/" + file).c_str()), 0);
    const std::string errors = root + "/errors.txt";

    EXPECT_EQ(runPelsid(root, {"--render", folder, file}, errors), 0) << readAll(errors);
    const std::vector<std::string> shots = filesIn(root + "/" + folder);
    EXPECT_EQ(shots.size(), 14u);  // eight view pictures and six thumbnails
    // Given as a full path too.
    const std::string again = root + "/" + folder + "/again\xE9";
    ASSERT_EQ(mkdir(again.c_str(), 0755), 0);
    EXPECT_EQ(runPelsid(root, {"--render", again, root + "/" + file}, errors), 0)
        << readAll(errors);
    EXPECT_EQ(filesIn(again).size(), 14u);
    // QTemporaryDir cannot remove names it cannot decode.
    std::filesystem::remove_all(root + "/" + folder);
    std::filesystem::remove(root + "/" + file);
}

namespace {
// Renders the veth capture with the given settings into a fresh folder under
// `root`; the pictures by their suffix (the name without its time stamp).
std::map<std::string, std::string> renderVeth(const std::string& root, const std::string& name,
                                              const std::vector<std::string>& settings, int* status,
                                              std::string* errors) {
    const std::string folder = root + "/" + name, errorFile = root + "/" + name + ".txt";
    mkdir(folder.c_str(), 0755);
    std::vector<std::string> args = {"--render", folder, PELSID_TEST_DATA "/veth_mixed.pcap"};
    for (const std::string& s : settings) args.insert(args.end(), {"--set", s});
    *status = runPelsid(root, args, errorFile);
    *errors = readAll(errorFile);
    std::map<std::string, std::string> pictures;
    for (const std::string& f : filesIn(folder))
        pictures[f.substr(std::string("yyyymmdd_hhnnss").size())] = readAll(folder + "/" + f);
    return pictures;
}
}  // namespace

TEST(RenderCommand, DisplayFilterAndColourRulesFromTheCommandLine) {
    QTemporaryDir work;
    const std::string root = work.path().toStdString();
    int status = 0;
    std::string errors;
    const auto plain = renderVeth(root, "plain", {}, &status, &errors);
    ASSERT_EQ(status, 0) << errors;
    ASSERT_EQ(plain.size(), 14u);

    // An expression every frame matches and a rule none does leave every picture as it was.
    const auto same = renderVeth(root, "same",
                                 {"frmEncodings.txtDisplayFilter=ip or not ip",
                                  "frmEncodings.colorRule=ether[0] = 255 and ether[1] = 7:FF00FF"},
                                 &status, &errors);
    EXPECT_EQ(status, 0) << errors;
    EXPECT_TRUE(same == plain);

    const auto arp =
        renderVeth(root, "arp", {"frmEncodings.txtDisplayFilter=arp"}, &status, &errors);
    EXPECT_EQ(status, 0) << errors;
    EXPECT_NE(arp.at("_textrainfall.bmp"), plain.at("_textrainfall.bmp"));
    const auto pink =
        renderVeth(root, "pink", {"frmEncodings.colorRule=ip6:FF00FF"}, &status, &errors);
    EXPECT_EQ(status, 0) << errors;
    EXPECT_NE(pink.at("_textrainfall.bmp"), plain.at("_textrainfall.bmp"));

    // A refused expression fails the render with libpcap's message, and writes nothing.
    for (const char* bad :
         {"frmEncodings.txtDisplayFilter=tcp port", "frmEncodings.colorRule=tcp port:FF0000"}) {
        const auto none = renderVeth(root, "bad", {bad}, &status, &errors);
        EXPECT_EQ(status, 1) << bad;
        EXPECT_NE(errors.find("\"tcp port\": can't parse filter expression: syntax error"),
                  std::string::npos)
            << errors;
        EXPECT_TRUE(none.empty());
    }
    renderVeth(root, "bad", {"frmEncodings.colorRule=ip6"}, &status, &errors);
    EXPECT_EQ(status, 1);
    EXPECT_NE(errors.find("EXPRESSION:RRGGBB"), std::string::npos) << errors;
}

// A render builds no widget: under its QGuiApplication a QWidget would end the
// program. Every view's settings are still set by their controls' names.
TEST(RenderCommand, ViewSettingsWithoutWindows) {
    QTemporaryDir work;
    const std::string root = work.path().toStdString();
    int status = 0;
    std::string errors;
    const auto plain = renderVeth(root, "plain", {}, &status, &errors);
    ASSERT_EQ(status, 0) << errors;
    const std::pair<const char*, const char*> changes[] = {
        {"frmVis1.cmbVisMode=hex", "_textrainfall.bmp"},
        {"frmVis2.cmbVisMode=1", "_bytefrequency.bmp"},
        {"frmVis3.spnNumAxes=5", "_parallelcoord.bmp"},
        {"frmVis4.radScroll(1)=1", "_binaryrainfall.bmp"},
        {"frmVis5.comboAxis(1)=TTL", "_scatterplot.bmp"},
        {"frmVis6.spnBuckets=4", "_combined_left.bmp"}};
    for (const auto& [setting, picture] : changes) {
        const auto set = renderVeth(root, setting, {setting}, &status, &errors);
        EXPECT_EQ(status, 0) << setting << errors;
        EXPECT_EQ(errors.find("QWidget"), std::string::npos) << errors;
        EXPECT_TRUE(set.at(picture) != plain.at(picture)) << setting;
    }
    for (const char* bad : {"frmVis3.spnNumAxes=19", "frmVis1.cmbVisMode=octal"}) {
        renderVeth(root, "bad", {bad}, &status, &errors);
        EXPECT_EQ(status, 1) << bad;
        EXPECT_NE(errors.find("bad value"), std::string::npos) << errors;
    }
}

// --pick answers what the windows answer: the same render in this process,
// asked directly, gives each picked pixel's packet and summary.
TEST(RenderCommand, PickNamesThePacketThatDrewEachPixel) {
    const std::string capture = PELSID_TEST_DATA "/veth_mixed.pcap";
    pelsid::test::AppRig rig;
    rig.showAllViews();
    ASSERT_TRUE(rig.app.loadDataset(QString::fromStdString(capture)));
    rig.app.pipeline().playToEnd();

    std::vector<std::string> args = {"--render", ".", capture};
    std::string expected;
    const std::pair<const char*, const char*> pictures[] = {
        {"frmVis1", "picGraph"},
        {"frmVis2", "picGraph"},
        {"frmVis3", "picGraph"},
        {"frmVis4", "picGraph"},
        {"frmVis5", "picGraph"},
        {"frmVis6", "picGraph"},
        {"frmVis6.left", "picgraphLeftFront"},
        {"frmVis6.right", "picgraphRightFront"}};
    for (const auto& [name, pictureName] : pictures) {
        const QString window = QString::fromLatin1(name).left(7);
        auto* w = qobject_cast<pelsid::ViewWindow*>(rig.app.registry().window(window));
        auto* picture = w->findChild<pelsid::SurfaceWidget*>(QLatin1String(pictureName));
        ASSERT_TRUE(picture) << name;
        // The first pixel drawn by a packet, scanning from the bottom right, and the top left.
        QPoint drawn(-1, -1);
        for (int y = picture->surface().height() - 1; y >= 0 && drawn.x() < 0; --y)
            for (int x = picture->surface().width() - 1; x >= 0 && drawn.x() < 0; --x)
                if (w->packetAt(*picture, {x, y}) != 0) drawn = {x, y};
        ASSERT_GE(drawn.x(), 0) << name;
        for (const QPoint at : {drawn, QPoint(0, 0), QPoint(5000, 5000)}) {
            const std::uint32_t n = w->packetAt(*picture, at);
            const auto held = rig.app.pipeline().lookUp(int(n));
            args.insert(args.end(), {"--pick", std::string(name) + ":" + std::to_string(at.x()) +
                                                   "," + std::to_string(at.y())});
            expected += std::string(name) + "\t" + std::to_string(at.x()) + "\t" +
                        std::to_string(at.y()) + "\t" + std::to_string(n) + "\t" +
                        (held ? held->summary : "") + "\n";
        }
    }
    QTemporaryDir work;
    const std::string root = work.path().toStdString();
    EXPECT_EQ(runPelsid(root, args, root + "/errors.txt", root + "/out.txt"), 0)
        << readAll(root + "/errors.txt");
    EXPECT_EQ(readAll(root + "/out.txt"), expected);
    EXPECT_NE(expected.find("\t0\t\n"), std::string::npos);  // an empty pixel says 0

    // A pick that names no picture fails before anything is played.
    for (const char* bad : {"frmVis7:1,1", "frmVis1.left:1,1", "frmVis2:1", "frmVis3:-1,2"}) {
        EXPECT_EQ(runPelsid(root, {"--render", ".", capture, "--pick", bad}, root + "/errors.txt",
                            root + "/out.txt"),
                  1)
            << bad;
        EXPECT_NE(readAll(root + "/errors.txt").find("bad pick"), std::string::npos) << bad;
        EXPECT_EQ(readAll(root + "/out.txt"), "");
    }
}
