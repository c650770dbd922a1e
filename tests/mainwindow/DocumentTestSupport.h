// A main window over a fresh program folder, for the document, find and
// draft tests.
#pragma once

#include "AtomicFile.h"
#include "DataModule.h"
#include "Tf_speaker.h"
#include "WindowTestSupport.h"

#include <QString>
#include <gtest/gtest.h>
#include <memory>

namespace sonvela::test {

inline QString Q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

inline QString Q(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

class DocumentWindowTest : public ::testing::Test {
protected:
    DocumentWindowTest() : folder(false) {}

    std::unique_ptr<Tf_speaker> Open() {
        data.reset();
        data = TDM::Connect(folder.Path());
        auto window = std::make_unique<Tf_speaker>(
            MainWindowServices{folder.Path(), data.get(), &voice, &dialogs});
        // antiword only: the tests do not depend on LibreOffice.
        DocConverters converters = FindDocConverters();
        converters.soffice.clear();
        window->SetDocConverters(converters);
        return window;
    }

    template <typename T> static T* Child(const QObject* window, const char* name) {
        auto* child = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }

    std::string Write(const std::string& name, const std::string& bytes) {
        const std::string path = folder.File(name);
        WriteFileAtomically(path, bytes);
        return path;
    }

    static std::string Read(const std::string& path) {
        return ReadWholeFile(path).value_or("<missing>");
    }

    AnsweringDesktop desktop;
    ProgramFolder folder;
    ScriptedDialogs dialogs;
    RecordingVoice voice;
    std::unique_ptr<TDM> data;
};

} // namespace sonvela::test
