// The file commands of the main window: new, open, save, save as, the
// history list and the Word import. The decisions about names, encodings
// and conversion live in the documents library; here they meet the editor.
#include "AtomicFile.h"
#include "DataModule.h"
#include "Desktop.h"
#include "DocImportProgress.h"
#include "DocumentNames.h"
#include "EditorDialogs.h"
#include "EditorFill.h"
#include "FunctionUnit.h"
#include "GbkText.h"
#include "Tf_speaker.h"

#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScopeGuard>
#include <QTextDocument>
#include <QToolButton>
#include <filesystem>

namespace sonvela {
namespace {

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::u16string ToUtf16(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

// The editor's text exactly as typed: toPlainText() would turn no-break
// spaces into plain ones and line separators (U+2028) into line breaks.
// Only the separators between blocks are the editor's own line breaks.
std::u16string EditorTextAsTyped(const QPlainTextEdit& editor) {
    std::u16string text = ToUtf16(editor.document()->toRawText());
    for (char16_t& unit : text)
        if (unit == u'\u2029')
            unit = u'\n';
    return text;
}

const char* const kSaveQuestion = "文章已被修改，要保存吗？";

} // namespace

void Tf_speaker::ConnectDocumentCommands() {
    docConverters_ = FindDocConverters();
    // The exit command's Yes answer saves through the save command.
    SetSaveCommand([this] { return SB_saveClick(); });

    auto onTrigger = [this](const char* name, void (Tf_speaker::*command)()) {
        if (auto* action = findChild<QAction*>(QString::fromLatin1(name)))
            connect(action, &QAction::triggered, this, command);
    };
    auto onClick = [this](const char* name, void (Tf_speaker::*command)()) {
        if (auto* button = findChild<QToolButton*>(QString::fromLatin1(name)))
            connect(button, &QToolButton::clicked, this, command);
    };
    onTrigger("N35", &Tf_speaker::N35Click);
    onTrigger("N11", &Tf_speaker::SB_openClick);
    if (auto* n12 = findChild<QAction*>(QStringLiteral("N12")))
        connect(n12, &QAction::triggered, this, [this] { SB_saveClick(); });
    onTrigger("N21", &Tf_speaker::N21Click);
    onClick("SB_new", &Tf_speaker::N35Click);
    onClick("SB_open", &Tf_speaker::SB_openClick);
    if (auto* save = findChild<QToolButton*>(QStringLiteral("SB_save")))
        connect(save, &QToolButton::clicked, this, [this] { SB_saveClick(); });

    popupMenu7_ = new QMenu(this);
    popupMenu7_->setObjectName(QStringLiteral("PopupMenu7"));
    QAction* o1 = popupMenu7_->addAction(QStringLiteral("打开 (&O)"));
    o1->setObjectName(QStringLiteral("O1"));
    QAction* d2 = popupMenu7_->addAction(QStringLiteral("删除记录 (&D)"));
    d2->setObjectName(QStringLiteral("D2"));
    connect(o1, &QAction::triggered, this, &Tf_speaker::ListBox1DblClick);
    connect(d2, &QAction::triggered, this, &Tf_speaker::D2Click);
    listBox1_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(listBox1_, &QListWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        popupMenu7_->popup(listBox1_->viewport()->mapToGlobal(at));
    });
    connect(listBox1_, &QListWidget::itemDoubleClicked, this, &Tf_speaker::ListBox1DblClick);
    connect(listBox1_, &QListWidget::itemClicked, this, &Tf_speaker::ListBox1Click);

    ConnectFindCommands();
    ConnectDraftCommands();
}

// ---- The editor's text ------------------------------------------------------

void Tf_speaker::SetEditorText(std::u16string text, const QString& name) {
    LoadingNote note(statusPanels_[2], name);
    // What the editor held is given up (the open and new-text commands
    // asked about it first): a recovery copy it had pending would be taken
    // in the middle of the loading.
    SetEditorModified(false);
    {
        ++loadingText_;
        const auto loaded = qScopeGuard([this] { --loadingText_; });
        FillEditor(memo1_, std::move(text), [&note](int percent) { note.Show(percent); });
    }
    SetEditorModified(false);
}

void Tf_speaker::ClearEditor() {
    memo1_->clear();
    // Whatever comes next is the system's own GBK until a file says otherwise.
    currentEncoding_ = TextEncoding::Gbk;
    currentLineBreak_ = LineBreak::CrLf;
}

void Tf_speaker::SetStatusFile(const std::string& path) {
    statusPanels_[2]->setText(FromUtf8(path));
}

bool Tf_speaker::LoadTextFile(const std::string& path) {
    std::optional<DecodedText> read;
    // Read and decoded aside, so that a long file does not freeze the
    // window; a FIFO, a device or a folder is refused at once, with the
    // cause.
    if (!RunCommand(
            [&] { read = RunAside([&path] { return DecodeTextFile(ReadRegularFile(path)); }); })) {
        currentFileName_.clear();
        return false;
    }
    DecodedText& decoded = *read;
    SetEditorText(std::move(decoded.text), QFileInfo(FromUtf8(path)).fileName());
    currentEncoding_ = decoded.encoding;
    currentLineBreak_ = decoded.lineBreak;
    if (!decoded.valid) {
        // Saving the replacement characters over the file would destroy
        // the bytes that could not be read; the text is untitled instead.
        currentEncoding_ = TextEncoding::Gbk;
        currentFileName_.clear();
        WarnBox("文件 " + path + " 含有无法识别的字符，已作为未命名文章打开，保存时请另选文件名。");
        return true;
    }
    currentFileName_ = path;
    SetStatusFile(path);
    return true;
}

bool Tf_speaker::WriteEditorText(const std::string& path) {
    const std::string bytes =
        EncodeTextFile(EditorTextAsTyped(*memo1_), currentEncoding_, currentLineBreak_);
    return RunCommand([&] {
        WriteFileAtomically(path, bytes);
        SetEditorModified(false);
    });
}

// ---- Commands ---------------------------------------------------------------

bool Tf_speaker::savequestion() {
    if (EditorModified() && ConfirmBox(kSaveQuestion))
        return SB_saveClick();
    return true;
}

void Tf_speaker::N35Click() {
    reading_.stopreading = true;
    if (reading_.isreading)
        return;
    if (!EditorModified()) {
        currentFileName_.clear();
        ClearEditor();
        SetEditorModified(false);
    } else if (ConfirmBox(kSaveQuestion)) {
        // The text stays in the editor either way; a save that did not
        // happen ends the command with everything as it was.
        if (!SB_saveClick())
            return;
    } else {
        ClearEditor();
        currentFileName_.clear();
    }
    if (currentFileName_.empty())
        currentEncoding_ = TextEncoding::Gbk;
    SetStatusFile({});
}

void Tf_speaker::SB_openClick() {
    reading_.stopreading = true;
    if (!savequestion())
        return;
    const std::optional<QString> chosen =
        services_.dialogs
            ? services_.dialogs->ChooseOpenFile(FromUtf8(services_.programFolder),
                                                QStringLiteral("文本文件(*.txt);;Word文件(*.doc)"),
                                                this)
            : std::nullopt;
    if (!chosen) {
        memo1Text_->SetCaret(0);
        return;
    }
    const std::string path = chosen->toStdString();
    OpenChosenFile(path, KindForOpen(path));
}

void Tf_speaker::OpenNamedFile(const std::string& path) {
    reading_.stopreading = true;
    if (!savequestion())
        return;
    // A desktop offers every plain text file, whatever its name ends in:
    // only a Word document goes through the converter.
    OpenChosenFile(path, IsWordDocument(path) ? DocumentKind::Word : DocumentKind::Text);
    show();
    raise();
    activateWindow();
}

void Tf_speaker::OpenChosenFile(const std::string& path, DocumentKind kind) {
    if (kind == DocumentKind::Text) {
        ClearEditor();
        if (!LoadTextFile(path))
            return;
    } else {
        ClearEditor();
        if (importdoc(path))
            currentFileName_ = path;
    }
    memo1Text_->SetCaret(0);
    addhistory(path);
}

bool Tf_speaker::SB_saveClick() {
    reading_.stopreading = true;
    // A Word document's own path never receives the plain text: its text is
    // saved as a new text file, as an untitled text is. So is a name that is
    // no full path (a history row copied from another machine): it would
    // land wherever the program happened to be started.
    if (!currentFileName_.empty() && !IsWordDocument(currentFileName_) &&
        std::filesystem::path(currentFileName_).is_absolute()) {
        return WriteEditorText(currentFileName_);
    }
    const QString proposed =
        IsWordDocument(currentFileName_) && std::filesystem::path(currentFileName_).is_absolute()
            ? FromUtf8(TextNameForDocument(currentFileName_))
            : FromUtf8(services_.programFolder);
    const std::optional<QString> chosen =
        services_.dialogs
            ? services_.dialogs->ChooseSaveFile(proposed, QStringLiteral("文本文件(*.txt)"), this)
            : std::nullopt;
    if (!chosen || chosen->isEmpty())
        return false;
    const std::string name = UntitledSaveName(chosen->toStdString());
    if (QFileInfo::exists(FromUtf8(name)) &&
        !ConfirmBox("该文件: " + name + " 已存在，要覆盖它吗？"))
        return false;
    return WriteEditorText(name);
}

void Tf_speaker::N21Click() {
    reading_.stopreading = true;
    const QString proposed =
        currentFileName_.empty() ? FromUtf8(services_.programFolder) : FromUtf8(currentFileName_);
    const std::optional<QString> chosen =
        services_.dialogs
            ? services_.dialogs->ChooseSaveFile(proposed, QStringLiteral("文本文件(*.txt)"), this)
            : std::nullopt;
    if (chosen && !chosen->isEmpty())
        WriteEditorText(chosen->toStdString());
}

void Tf_speaker::ListBox1Click() {
    if (QListWidgetItem* item = listBox1_->currentItem())
        listBox1_->setToolTip(item->text());
}

void Tf_speaker::ListBox1DblClick() {
    if (listBox1_->count() == 0)
        return;
    reading_.stopreading = true;
    if (reading_.isreading)
        return;
    if (!savequestion())
        return;
    QListWidgetItem* item = listBox1_->currentItem();
    if (!item || !item->isSelected())
        return;
    const std::string path = item->text().toStdString();
    currentFileName_ = path;
    if (!std::filesystem::exists(path)) {
        WarnBox("文件不存在!");
        return;
    }
    ClearEditor();
    switch (KindForHistory(path)) {
    case DocumentKind::Text:
        if (!LoadTextFile(path))
            return;
        break;
    case DocumentKind::Word:
        importdoc(path);
        break;
    case DocumentKind::Other:
        currentFileName_ = path;
        break;
    }
    SetEditorModified(false);
    if (TDM* store = services_.dataModule) {
        RunCommand([&] {
            if (store->UpdateHistoryOpenDate(Utf8ToGbk(path)))
                SetStatusFile(GbkToUtf8(store->Q_history.AsText("filename")));
        });
    }
}

void Tf_speaker::D2Click() {
    QListWidgetItem* item = listBox1_->currentItem();
    if (listBox1_->count() == 0 || !item || !item->isSelected())
        return;
    const std::string path = item->text().toStdString();
    delete listBox1_->takeItem(listBox1_->row(item));
    if (TDM* store = services_.dataModule)
        RunCommand([&] { store->DeleteHistory(Utf8ToGbk(path)); });
}

void Tf_speaker::addhistory(const std::string& path) {
    if (TDM* store = services_.dataModule)
        RunCommand([&] { store->AddHistory(Utf8ToGbk(path)); });
}

bool Tf_speaker::importdoc(const std::string& path) {
    const ImportOutcome outcome = ImportDocShowingProgress(path, docConverters_, this);
    const std::optional<std::u16string>& text = outcome.text;
    if (!text) {
        // Called off by the operator: no message, the same empty state.
        if (!outcome.cancelled)
            CurrentDesktop().ShowMessage({MessageIcon::None, "Sonvela", path + " 可能已打开"});
        ClearEditor();
        SetEditorModified(false);
        currentFileName_.clear();
        currentEncoding_ = TextEncoding::Gbk;
        return false;
    }
    SetEditorText(*text);
    currentEncoding_ = TextEncoding::Gbk;
    SetStatusFile(path);
    return true;
}

} // namespace sonvela
