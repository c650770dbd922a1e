// The main window's regions and controls, with their captions, hints, limits
// and initial values. Behaviour is wired in Tf_speaker.cpp.
#include "StatusNoticePanel.h"
#include "Tf_speaker.h"
#include "ToolIcons.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSlider>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace sonvela {
namespace {

const QColor kMoneyGreen(0xC0, 0xDC, 0xC0);
const QColor kTeal(0x00, 0x80, 0x80);

QString S(const char* utf8) {
    return QString::fromUtf8(utf8);
}

template <typename Widget> Widget* Named(Widget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

void PaintPanel(QWidget* panel) {
    panel->setAutoFillBackground(true);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, kMoneyGreen);
    panel->setPalette(palette);
}

QLabel* Label(const char* name, const char* caption, QWidget* parent) {
    return Named(new QLabel(S(caption), parent), name);
}

QSpinBox* SpinBox(const char* name, int minimum, int maximum, int value, QWidget* parent) {
    auto* box = Named(new QSpinBox(parent), name);
    box->setRange(minimum, maximum);
    box->setValue(value);
    return box;
}

QSlider* Slider(const char* name, int minimum, int maximum, int value, QWidget* parent) {
    auto* slider = Named(new QSlider(Qt::Horizontal, parent), name);
    slider->setRange(minimum, maximum);
    slider->setValue(value);
    slider->setTickPosition(QSlider::NoTicks);
    return slider;
}

QToolButton* FlatButton(const char* name, const QString& hint, Pictogram icon, int size,
                        QWidget* parent) {
    auto* button = Named(new QToolButton(parent), name);
    button->setToolTip(hint);
    button->setIcon(PictogramIcon(icon));
    button->setIconSize(QSize(size - 6, size - 6));
    button->setAutoRaise(true);
    button->setFixedSize(size, size);
    return button;
}

} // namespace

QToolButton* Tf_speaker::AddToolButton(const char* name, const QString& hint, Pictogram icon,
                                       QWidget* parent) {
    auto* button = Named(new QToolButton(parent), name);
    button->setToolTip(hint);
    button->setIcon(PictogramIcon(icon));
    button->setIconSize(QSize(24, 24));
    button->setFixedSize(31, 30);
    button->setAutoRaise(true);
    return button;
}

QAction* Tf_speaker::AddAction(QMenu* menu, const char* name, const QString& caption) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

void Tf_speaker::BuildWindow() {
    setWindowTitle(S("Sonvela(普及版)"));
    setWindowIcon(PictogramIcon(Pictogram::Application, 32));
    // The design size, in the middle of the desktop when the window is not
    // maximised.
    resize(1196, 683);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    // The editor first: the menus' editing items are wired to it.
    QWidget* editorArea = BuildCentre();
    QWidget* optionsPanel = BuildOptionsPanel();
    addToolBar(Qt::TopToolBarArea, static_cast<QToolBar*>(BuildToolBar()));
    BuildMenus();

    auto* centre = Named(new QWidget(this), "Panel4");
    auto* row = new QHBoxLayout(centre);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    auto* strip = Named(new QFrame(centre), "StaticText5");
    strip->setFrameStyle(QFrame::Panel | QFrame::Raised);
    strip->setFixedWidth(5);
    row->addWidget(strip);
    row->addWidget(editorArea, 1);
    row->addWidget(optionsPanel);
    setCentralWidget(centre);

    BuildStatusBar();
    BuildContextMenus();
    BuildTray();
}

QWidget* Tf_speaker::BuildToolBar() {
    auto* bar = Named(new QToolBar(this), "ToolBar1");
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setContextMenuPolicy(Qt::PreventContextMenu);
    PaintPanel(bar);
    struct Button {
        const char* name;
        const char* hint;
        Pictogram icon;
    };
    static const Button kButtons[] = {
        {"SB_new", "新建", Pictogram::New},
        {"SB_open", "导入文章", Pictogram::Open},
        {"SB_save", "保存", Pictogram::Save},
        {"SB_jexu", "从最面开始朗读", Pictogram::ReadFromStart},
        {"SB_play", "当前位置朗读", Pictogram::ReadHere},
        {"SB_stop", "停止", Pictogram::Stop},
        {"SB_repeat1", "全文循环朗读", Pictogram::LoopAll},
        {"SB_repeat", "选择范围循环朗读", Pictogram::LoopRange},
        {"SB_top", "移到文章最前面", Pictogram::ToTop},
        {"SB_bott", "移到文章最后面", Pictogram::ToEnd},
        {"sb_delay", "系统设置", Pictogram::Settings},
        {"SB_time", "插入日期时间", Pictogram::InsertDate},
        {"SB_schedule", "定时任务", Pictogram::Schedule},
        {"SB_panel", "显示或关闭面板", Pictogram::Panel},
        {"SB_close", "关闭", Pictogram::Close},
    };
    for (const Button& b : kButtons) {
        QToolButton* button = AddToolButton(b.name, S(b.hint), b.icon, bar);
        bar->addWidget(button);
        const QString name = QString::fromLatin1(b.name);
        if (name == QLatin1String("SB_top"))
            connect(button, &QToolButton::clicked, this, &Tf_speaker::SB_topClick);
        else if (name == QLatin1String("SB_bott"))
            connect(button, &QToolButton::clicked, this, &Tf_speaker::SB_bottClick);
        else if (name == QLatin1String("SB_panel"))
            connect(button, &QToolButton::clicked, this, &Tf_speaker::SB_panelClick);
        else if (name == QLatin1String("SB_close"))
            connect(button, &QToolButton::clicked, this, &Tf_speaker::SB_closeClick);
    }
    return bar;
}

void Tf_speaker::BuildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));

    QMenu* file = bar->addMenu(S("文件(&F)"));
    file->setObjectName(QStringLiteral("N9"));
    AddAction(file, "N35", S("新建  (&N)"));
    AddAction(file, "N11", S("打开  (&O)"));
    AddAction(file, "N12", S("保存  (&S)"));
    AddAction(file, "N21", S("另存为(&A)"));
    file->addSeparator();
    connect(AddAction(file, "N_export", S("导出为音频文件…(&E)")), &QAction::triggered, this,
            &Tf_speaker::ExportAudioClick);
    file->addSeparator();
    connect(AddAction(file, "C1", S("退出 (&C)")), &QAction::triggered, this,
            &Tf_speaker::SB_closeClick);

    QMenu* edit = bar->addMenu(S("编辑(&E)"));
    edit->setObjectName(QStringLiteral("N13"));
    connect(AddAction(edit, "CCtrlC2", S("复制 (&C)  Ctrl+C")), &QAction::triggered, memo1_,
            &QPlainTextEdit::copy);
    connect(AddAction(edit, "VCtrlV3", S("粘贴 (&V)  Ctrl+V")), &QAction::triggered, memo1_,
            &QPlainTextEdit::paste);
    connect(AddAction(edit, "XCtrlX1", S("剪切 (&X)  Ctrl+X")), &QAction::triggered, memo1_,
            &QPlainTextEdit::cut);
    connect(AddAction(edit, "ZCtrlZ1", S("撤销 (&Z)  Ctrl+Z")), &QAction::triggered, memo1_,
            &QPlainTextEdit::undo);
    connect(AddAction(edit, "A1", S("全选 (&A)  Ctrl+A ")), &QAction::triggered, memo1_,
            &QPlainTextEdit::selectAll);

    QMenu* setup = bar->addMenu(S("设置(&S)"));
    setup->setObjectName(QStringLiteral("N19"));
    connect(AddAction(setup, "N23", S("正文字体   (&F)")), &QAction::triggered, this,
            &Tf_speaker::N23Click);
    connect(AddAction(setup, "N25", S("正文背景色 (&B)")), &QAction::triggered, this,
            &Tf_speaker::N25Click);
    setup->addSeparator();
    n27_ = AddAction(setup, "N27", S("左对齐     (&L)"));
    n28_ = AddAction(setup, "N28", S("居中       (&C)"));
    n29_ = AddAction(setup, "N29", S("右对齐     (&R)"));
    for (QAction* item : {n27_, n28_, n29_}) {
        item->setCheckable(true);
        connect(item, &QAction::triggered, this, [this, item] { AlignClick(item); });
    }
    n27_->setChecked(true);
    setup->addSeparator();
    AddAction(setup, "N40", S("系统设置"));
    connect(AddAction(setup, "TimetableItem", S("播报时间表(&T)...")), &QAction::triggered, this,
            &Tf_speaker::ShowTimetableWindow);

    QMenu* help = bar->addMenu(S("帮助(&H)"));
    help->setObjectName(QStringLiteral("N30"));
    AddAction(help, "N32", S("关于(&A)"));
    help->addSeparator();
    connect(AddAction(help, "N31", S("帮助(&H)")), &QAction::triggered, this,
            &Tf_speaker::N31Click);
    AddAction(help, "N44", S("语音信息"));
}

QWidget* Tf_speaker::BuildOptionsPanel() {
    panel2_ = Named(new QWidget(this), "Panel2");
    panel2_->setFixedWidth(170);
    PaintPanel(panel2_);
    auto* column = new QVBoxLayout(panel2_);
    column->setContentsMargins(3, 3, 3, 3);
    column->setSpacing(4);

    // Reading options.
    auto* group1 = Named(new QGroupBox(S("朗读选项"), panel2_), "GroupBox1");
    auto* g1 = new QGridLayout(group1);
    g1->setContentsMargins(4, 4, 4, 4);
    g1->addWidget(Label("StaticText1", "语音引擎:", group1), 0, 0, 1, 2);
    voiceList_ = Named(new QComboBox(group1), "flatComboBox1");
    voiceList_->setEditable(false);
    voiceList_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    g1->addWidget(voiceList_, 1, 0, 1, 2);
    g1->addWidget(Label("StaticText2", "语速:", group1), 2, 0);
    staticText6_ = Label("StaticText6", "0", group1);
    staticText6_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    g1->addWidget(staticText6_, 2, 1);
    trackBar2_ = Slider("TrackBar2", -10, 15, 0, group1);
    g1->addWidget(trackBar2_, 3, 0, 1, 2);
    g1->addWidget(Label("StaticText3", "音量:", group1), 4, 0);
    staticText9_ = Label("StaticText9", "95", group1);
    staticText9_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    g1->addWidget(staticText9_, 4, 1);
    trackBar1_ = Slider("TrackBar1", 0, 100, 95, group1);
    g1->addWidget(trackBar1_, 5, 0, 1, 2);
    connect(trackBar2_, &QSlider::valueChanged, this, &Tf_speaker::TrackBar2Change);
    connect(trackBar1_, &QSlider::valueChanged, this, &Tf_speaker::TrackBar1Change);
    column->addWidget(group1);

    // History of opened files.
    auto* group3 = Named(new QGroupBox(S("历史打开文件"), panel2_), "GroupBox3");
    auto* g3 = new QVBoxLayout(group3);
    g3->setContentsMargins(4, 4, 4, 4);
    listBox1_ = Named(new QListWidget(group3), "ListBox1");
    listBox1_->setToolTip(S("双击或右键打开"));
    listBox1_->setSelectionMode(QAbstractItemView::SingleSelection);
    g3->addWidget(listBox1_);
    column->addWidget(group3, 1);

    // Background music.
    auto* group2 = Named(new QGroupBox(S("MP3背景音乐播放"), panel2_), "GroupBox2");
    auto* g2 = new QGridLayout(group2);
    g2->setContentsMargins(4, 4, 4, 4);
    g2->setVerticalSpacing(3);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(1);
    buttons->addWidget(FlatButton("bj_play", S("播放"), Pictogram::ReadHere, 28, group2));
    buttons->addWidget(FlatButton("bj_stop", S("停止"), Pictogram::Stop, 28, group2));
    buttons->addWidget(FlatButton("bj_next", S("下一首"), Pictogram::Next, 28, group2));
    buttons->addWidget(FlatButton("bj_prev", S("上一首"), Pictogram::Previous, 28, group2));
    buttons->addWidget(FlatButton("bj_ok", S("选择背景音乐目录"), Pictogram::Folder, 28, group2));
    g2->addLayout(buttons, 0, 0, 1, 2);
    g2->addWidget(Label("StaticText13", "音乐音量:", group2), 1, 0);
    bjV_ = SpinBox("bj_v", 0, 100, 40, group2);
    bjV_->setToolTip(S("背景音量"));
    g2->addWidget(bjV_, 1, 1);
    g2->addWidget(Label("StaticText14", "朗读时音量:", group2), 2, 0);
    bjV1_ = SpinBox("bj_v1", 0, 100, 10, group2);
    bjV1_->setToolTip(S("朗读时背景音量"));
    g2->addWidget(bjV1_, 2, 1);
    g2->addWidget(Label("RzLEDDisplay1", "", group2), 3, 0);
    comBox1_ = Named(new QComboBox(group2), "ComBox1");
    comBox1_->addItems({S("顺序播放"), S("随机播放")});
    comBox1_->setCurrentIndex(0);
    g2->addWidget(comBox1_, 3, 1);
    auto* files = Named(new QListWidget(group2), "BJListBox1");
    files->setToolTip(S("双击进行播放"));
    files->setMinimumHeight(90);
    g2->addWidget(files, 4, 0, 1, 2);
    column->addWidget(group2);

    // Find and replace: a header strip with the expand and collapse
    // pictures above a body that start-up collapses.
    panel5_ = Named(new QWidget(panel2_), "Panel5");
    auto* p5 = new QVBoxLayout(panel5_);
    p5->setContentsMargins(0, 0, 0, 0);
    p5->setSpacing(0);
    auto* header = Named(new QFrame(panel5_), "Panel6");
    header->setFrameStyle(QFrame::Panel | QFrame::Raised);
    header->setToolTip(S("查找与替换"));
    header->setFixedHeight(17);
    auto* h = new QHBoxLayout(header);
    h->setContentsMargins(2, 0, 2, 0);
    h->addStretch();
    image1_ = Named(new QLabel(header), "Image1");
    image1_->setPixmap(PictogramIcon(Pictogram::Expand, 14).pixmap(14, 14));
    image2_ = Named(new QLabel(header), "Image2");
    image2_->setPixmap(PictogramIcon(Pictogram::Collapse, 14).pixmap(14, 14));
    for (QLabel* picture : {image1_, image2_}) {
        picture->setCursor(Qt::PointingHandCursor);
        picture->installEventFilter(this);
        h->addWidget(picture);
    }
    p5->addWidget(header);
    panel7_ = Named(new QWidget(panel5_), "Panel7");
    panel7_->setFixedHeight(129);
    auto* body = new QGridLayout(panel7_);
    body->setContentsMargins(2, 2, 2, 2);
    body->setVerticalSpacing(2);
    body->addWidget(Label("Label1", "查找内容", panel7_), 0, 0);
    body->addWidget(Named(new QLineEdit(panel7_), "Fedit"), 0, 1);
    body->addWidget(Label("Label2", "替换为  ", panel7_), 1, 0);
    body->addWidget(Named(new QLineEdit(panel7_), "Redit"), 1, 1);
    auto* findButtons = new QHBoxLayout;
    findButtons->addWidget(FlatButton("SpeedButton2", S("查找"), Pictogram::Find, 26, panel7_));
    findButtons->addWidget(
        FlatButton("SpeedButton3", S("查找与替换"), Pictogram::FindReplace, 26, panel7_));
    findButtons->addWidget(
        FlatButton("SpeedButton4", S("替换以下"), Pictogram::ReplaceAll, 26, panel7_));
    findButtons->addStretch();
    body->addLayout(findButtons, 2, 0, 1, 2);
    auto* boxes = new QGridLayout;
    boxes->addWidget(Named(new QCheckBox(S("区分大小写"), panel7_), "CheckBox2"), 0, 0);
    boxes->addWidget(Named(new QCheckBox(S("全部"), panel7_), "CheckBox1"), 0, 1);
    boxes->addWidget(Named(new QCheckBox(S("从顶部开始"), panel7_), "CheckBox4"), 1, 0);
    boxes->addWidget(Named(new QCheckBox(S("向上查找"), panel7_), "CheckBox3"), 1, 1);
    body->addLayout(boxes, 3, 0, 1, 2);
    p5->addWidget(panel7_);
    column->addWidget(panel5_);
    return panel2_;
}

QWidget* Tf_speaker::BuildCentre() {
    auto* panel3 = Named(new QWidget(this), "Panel3");
    auto* column = new QVBoxLayout(panel3);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    splitter1_ = Named(new QSplitter(Qt::Vertical, panel3), "Splitter1");
    splitter1_->setChildrenCollapsible(false);

    // The editor with its hidden copy lying behind it, and the loop bar along
    // the bottom of the editor area.
    auto* editorArea = Named(new QWidget(splitter1_), "Panel8");
    auto* editorColumn = new QVBoxLayout(editorArea);
    editorColumn->setContentsMargins(0, 0, 0, 0);
    editorColumn->setSpacing(0);
    memo2_ = Named(new QPlainTextEdit(editorArea), "Memo2");
    memo2_->hide();
    memo1_ = Named(new QPlainTextEdit(editorArea), "Memo1");
    memo1_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    memo1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo1_->setFrameShape(QFrame::NoFrame);
    editorColumn->addWidget(memo1_, 1);
    editorColumn->addWidget(BuildLoopBar());

    sGrid1_ = Named(new QTableWidget(0, 4, splitter1_), "SGrid1");
    sGrid1_->setHorizontalHeaderLabels({S("No"), S("主题"), S("简述"), QString()});
    sGrid1_->setToolTip(S("空格、回车、双击或右键进行选择"));
    sGrid1_->verticalHeader()->hide();
    sGrid1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sGrid1_->setSelectionBehavior(QAbstractItemView::SelectRows);
    sGrid1_->setSelectionMode(QAbstractItemView::SingleSelection);
    sGrid1_->setWordWrap(false);
    sGrid1_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    sGrid1_->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    sGrid1_->horizontalHeader()->setStyleSheet(
        QStringLiteral("QHeaderView { background-color: #C0DCC0; }"
                       "QHeaderView::section { background-color: #C0DCC0; }"));
    QPalette grid = sGrid1_->palette();
    grid.setColor(QPalette::Base, kTeal);
    grid.setColor(QPalette::Text, Qt::white);
    sGrid1_->setPalette(grid);
    QFont gridFont(S("宋体"));
    gridFont.setPixelSize(14);
    sGrid1_->setFont(gridFont);
    sGrid1_->setColumnWidth(0, 30);
    sGrid1_->setColumnWidth(1, 200);
    sGrid1_->setColumnHidden(3, true);

    splitter1_->addWidget(editorArea);
    splitter1_->addWidget(sGrid1_);
    splitter1_->setStretchFactor(0, 1);
    splitter1_->setStretchFactor(1, 0);
    splitter1_->setSizes({683 - 271, 271});
    column->addWidget(splitter1_);
    return panel3;
}

QWidget* Tf_speaker::BuildLoopBar() {
    panel9_ = Named(new QWidget(this), "Panel9");
    PaintPanel(panel9_);
    auto* row = new QHBoxLayout(panel9_);
    row->setContentsMargins(6, 2, 2, 2);
    row->addWidget(Label("Label4", "循环次数", panel9_));
    spinEdit1_ = SpinBox("SpinEdit1", 1, 1000000, 2, panel9_);
    row->addWidget(spinEdit1_);
    row->addSpacing(8);
    row->addWidget(Label("Label3", "间隔秒数", panel9_));
    spinEdit2_ = SpinBox("SpinEdit2", 1, 10000000, 60, panel9_);
    row->addWidget(spinEdit2_);
    row->addSpacing(8);
    auto* ok = Named(new QToolButton(panel9_), "btn_ok");
    ok->setText(S("设为默认"));
    ok->setAutoRaise(true);
    row->addWidget(ok);
    row->addSpacing(8);
    chkShowgrid_ = Named(new QCheckBox(S("显示表格"), panel9_), "chk_showgrid");
    chkShowgrid_->setChecked(true);
    row->addWidget(chkShowgrid_);
    row->addStretch();
    auto* close = FlatButton("SpeedButton1", S("Close"), Pictogram::SmallClose, 18, panel9_);
    connect(close, &QToolButton::clicked, this, &Tf_speaker::SpeedButton1Click);
    row->addWidget(close);
    return panel9_;
}

void Tf_speaker::BuildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(false);
    static const int kWidths[4] = {100, 200, 400, 50};
    for (int i = 0; i < 4; ++i) {
        auto* panel = new QLabel(bar);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        // The last panel takes the rest of the bar, as the last panel of a
        // status bar does.
        if (i < 3)
            panel->setFixedWidth(kWidths[i]);
        else
            panel->setMinimumWidth(kWidths[i]);
        bar->addWidget(panel, i < 3 ? 0 : 1);
        statusPanels_[i] = panel;
    }
    noticePanel_ = new StatusNoticePanel(statusPanels_[3], this);
}

void Tf_speaker::BuildContextMenus() {
    popupMenu1_ = Named(new QMenu(this), "PopupMenu1");
    AddAction(popupMenu1_, "N1", S("从此处朗读    (&M)"));
    AddAction(popupMenu1_, "L1", S("朗读当前行    (&L)"));
    AddAction(popupMenu1_, "N2", S("朗读所选范围  (&S)"));
    AddAction(popupMenu1_, "N36", S("范围循环朗读  (&W)"));
    AddAction(popupMenu1_, "N22", S("全文循环朗读  (&T)"));
    popupMenu1_->addSeparator();
    AddAction(popupMenu1_, "N3", S("记录书签位置  (&B)"));
    AddAction(popupMenu1_, "N41", S("从上次位置朗读(&R)"));
    popupMenu1_->addSeparator();
    connect(AddAction(popupMenu1_, "N_export1", S("导出为音频文件…(&E)")), &QAction::triggered,
            this, &Tf_speaker::ExportAudioClick);
    popupMenu1_->addSeparator();
    connect(AddAction(popupMenu1_, "HCtrlH1", S("复制 (&C)  Ctrl+C")), &QAction::triggered, memo1_,
            &QPlainTextEdit::copy);
    connect(AddAction(popupMenu1_, "VCtrlV1", S("粘贴 (&V)  Ctrl+V")), &QAction::triggered, memo1_,
            &QPlainTextEdit::paste);
    connect(AddAction(popupMenu1_, "N10", S("全选 (&A)  Ctrl+A")), &QAction::triggered, memo1_,
            &QPlainTextEdit::selectAll);
    popupMenu1_->addSeparator();
    AddAction(popupMenu1_, "Y1", S("插入延时符号  (&Y)"));
    memo1_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(memo1_, &QPlainTextEdit::customContextMenuRequested, this,
            &Tf_speaker::ShowEditorContextMenu);
}

void Tf_speaker::BuildTray() {
    popupMenu4_ = Named(new QMenu(this), "PopupMenu4");
    n5_ = AddAction(popupMenu4_, "N5", S("显示Sonvela (&S)"));
    n18_ = AddAction(popupMenu4_, "N18", S("隐藏Sonvela (&H)"));
    n5_->setCheckable(true);
    n18_->setCheckable(true);
    connect(n5_, &QAction::triggered, this, &Tf_speaker::N5Click);
    connect(n18_, &QAction::triggered, this, &Tf_speaker::N18Click);
    connect(AddAction(popupMenu4_, "N_export2", S("导出为音频文件…(&E)")), &QAction::triggered,
            this, &Tf_speaker::ExportAudioClick);
    connect(AddAction(popupMenu4_, "TrayTimetableItem", S("播报时间表(&T)...")),
            &QAction::triggered, this, &Tf_speaker::ShowTimetableWindow);
    connect(AddAction(popupMenu4_, "N7", S("退出  (&C)")), &QAction::triggered, this,
            &Tf_speaker::SB_closeClick);

    tray_ = new QSystemTrayIcon(PictogramIcon(Pictogram::Application, 22), this);
    tray_->setObjectName(QStringLiteral("TrayIcon1"));
    tray_->setToolTip(S("Sonvela"));
    connect(tray_, &QSystemTrayIcon::activated, this, &Tf_speaker::iconclick);
}

} // namespace sonvela
