#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <string>
#include <vector>

namespace {

// Runs the program in `folder` with arguments passed as bytes (no shell, no
// decoding); its error output goes to `errors`. The exit status, or -1.
int runPelsid(const std::string& folder, std::vector<std::string> args, const std::string& errors) {
    args.insert(args.begin(), PELSID_EXECUTABLE);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        const int fd = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0 || dup2(fd, 2) < 0 || chdir(folder.c_str()) != 0) _exit(126);
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
}
