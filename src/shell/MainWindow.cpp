#include "shell/MainWindow.h"

#include "control/FixedWindowFlags.h"

#include <QAction>
#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>

#include "views/Thumbnails.h"
#include "widgets/DarkGrey.h"
#include "widgets/SurfaceWidget.h"

namespace pelsid {

namespace {
constexpr const char* kThumbCaptions[6] = {"text rainfall",   " byte frequency", " parallel plot",
                                           "binary rainfall", "scatter plot",    "combined"};
}  // namespace

QAction* MainWindow::addEntry(QMenu* menu, const char* name, const char* caption, bool shown) {
    QAction* a = menu->addAction(QString::fromLatin1(caption));
    a->setObjectName(QString::fromLatin1(name));
    if (!shown) {
        a->setVisible(false);
        a->setEnabled(false);
    }
    return a;
}

MainWindow::MainWindow(Thumbnails& thumbnails, QWidget* parent)
    : QMainWindow(parent, fixedWindowFlags()), thumbnails_(thumbnails) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("pelsid"));

    QMenu* file = addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("File"));
    connect(addEntry(file, "LoadPreferences", "Load &Preferences", false), &QAction::triggered,
            this, [this] { emit placeholderRequested(QStringLiteral("frmLoadPreferences")); });
    connect(addEntry(file, "LoadData", "&Load Pelsid Dataset", true), &QAction::triggered, this,
            &MainWindow::loadDataRequested);
    connect(addEntry(file, "LoadPart", "Load &Part of a Capture...", true), &QAction::triggered,
            this, &MainWindow::loadPartRequested);
    file->addSeparator()->setObjectName(QStringLiteral("FileSeparator1"));
    connect(addEntry(file, "ExportPackets", "&Export Packets...", true), &QAction::triggered, this,
            &MainWindow::exportRequested);
    connect(addEntry(file, "SaveSettings", "&Save Preferences", false), &QAction::triggered, this,
            [this] { emit placeholderRequested(QStringLiteral("frmSavePreferences")); });
    connect(addEntry(file, "SaveData", "Save Da&taset", false), &QAction::triggered, this,
            [this] { emit placeholderRequested(QStringLiteral("frmSaveDataset")); });
    connect(addEntry(file, "SaveScreenshot", "Save Scree&nshots", false), &QAction::triggered, this,
            [this] { emit placeholderRequested(QStringLiteral("frmSaveScreenshots")); });
    file->addSeparator()->setObjectName(QStringLiteral("fileseparator2"));
    connect(addEntry(file, "exit", "E&xit", true), &QAction::triggered, this,
            &MainWindow::exitRequested);

    struct Toggle {
        const char* name;
        const char* caption;
        bool shown;
    };
    auto addToggles = [this](QMenu* menu, std::initializer_list<Toggle> entries) {
        for (const Toggle& t : entries) {
            QAction* a = addEntry(menu, t.name, t.caption, t.shown);
            a->setCheckable(true);
            const QString entry = QString::fromLatin1(t.name);
            // The registry owns the check mark: undo Qt's own flip first.
            connect(a, &QAction::triggered, this, [this, a, entry](bool checked) {
                a->setChecked(!checked);
                emit toggleRequested(entry);
            });
        }
    };
    QMenu* tools = addMenu(QStringLiteral("&Toolbars"));
    tools->setObjectName(QStringLiteral("Toolbars"));
    addToggles(tools, {{"ToolCapture", "&Capture", true},
                       {"ToolFilters", "&PVR", true},
                       {"ToolEncodings", "&Filters", true},
                       {"ToolLogging", "&Logging", false},
                       {"ToolOverview", "&Overview", true}});
    QMenu* view = addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("View"));
    addToggles(view, {{"vis1", "&Text Rainfall", true},
                      {"vis2", "&Byte Frequency", true},
                      {"vis3", "&Parallel Plot", true},
                      {"vis4", "Binary &Rainfall", true},
                      {"vis5", "&Scatter Plot", true},
                      {"vis6", "&Combined", true},
                      {"vis7", "&Detail", true}});
    QMenu* help = addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("Help"));
    connect(addEntry(help, "HelpAbout", "&About", true), &QAction::triggered, this,
            &MainWindow::aboutRequested);

    // The window is narrower than four menu titles: they wrap onto two rows.
    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("menuBar"));
    auto* grid = new QGridLayout(bar);
    grid->setContentsMargins(2, 1, 2, 1);
    grid->setSpacing(0);
    for (int i = 0; i < int(menus_.size()); ++i) {
        auto* b = new QToolButton(bar);
        b->setText(menus_[i]->title());
        b->setMenu(menus_[i]);
        b->setPopupMode(QToolButton::InstantPopup);
        b->setAutoRaise(true);
        b->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; width: 0; }"));
        grid->addWidget(b, i / 2, i % 2, Qt::AlignLeft);
    }
    setMenuWidget(bar);

    auto* central = new QWidget(this);
    paintDarkGrey(central);
    for (int n = 1; n <= 6; ++n) {
        const int y = 8 + (n - 1) * 80;
        auto* pic =
            new SurfaceWidget(thumbnails_.vis(n), QStringLiteral("picVis(%1)").arg(n), central);
        pic->setGeometry(8, y, Thumbnails::kWidth, Thumbnails::kHeight);
        pic->setCursor(Qt::PointingHandCursor);
        const QString entry = QStringLiteral("vis%1").arg(n);
        connect(pic, &SurfaceWidget::clicked, this, [this, entry] { emit toggleRequested(entry); });
        thumbs_[n - 1] = pic;
        auto* caption = new QLabel(QString::fromLatin1(kThumbCaptions[n - 1]), central);
        caption->setGeometry(8, y + Thumbnails::kHeight + 1, Thumbnails::kWidth, 15);
        caption->setStyleSheet(QStringLiteral("background: rgb(192,192,192); color: black;"));
        QFont f = caption->font();
        f.setPixelSize(10);
        caption->setFont(f);
    }
    auto* back = new SurfaceWidget(thumbnails_.picVis6Back, QStringLiteral("picVis6Back"), central);
    back->setGeometry(8 + Thumbnails::kWidth + 8, 408, Thumbnails::kWidth, Thumbnails::kHeight);
    back->hide();
    auto* detail = new QPushButton(QStringLiteral("packet detail"), central);
    detail->setObjectName(QStringLiteral("tglDetail"));
    detail->setCheckable(true);
    detail->setGeometry(8, 496, 81, 25);
    connect(detail, &QPushButton::clicked, this,
            [this] { emit toggleRequested(QStringLiteral("vis7")); });
    setCentralWidget(central);
    central->setFixedSize(104, 527);
    adjustSize();
    setFixedSize(sizeHint());

    thumbnails_.borderChanged = [this](int n) {
        thumbs_[n - 1]->setBordered(thumbnails_.bordered(n));
    };
    for (int n = 1; n <= 6; ++n) thumbs_[n - 1]->setBordered(thumbnails_.bordered(n));
    if (QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
}

QMenu* MainWindow::addMenu(const QString& title) {
    auto* m = new QMenu(title, this);
    menus_.push_back(m);
    return m;
}

QAction* MainWindow::action(const QString& name) const {
    return findChild<QAction*>(name);
}

MainWindow::~MainWindow() {
    thumbnails_.borderChanged = nullptr;
}

void MainWindow::closeEvent(QCloseEvent* e) {
    e->accept();
    emit exitRequested();
}

}  // namespace pelsid
