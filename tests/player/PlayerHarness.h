#pragma once

#include "CommandLog.h"
#include "CourseFolder.h"
#include "common/modGlobals.h"
#include "player/frmMain.h"
#include "player/frmSplash.h"
#include "playlist/frmPlaylist.h"
#include "shell/ShellRecorder.h"
#include "system/Registry.h"
#include "toolkit/Environment.h"
#include "toolkit/Forms.h"
#include "toolkit/MessageBox.h"

#include <QCoreApplication>

#include <memory>
#include <string>
#include <vector>

// Everything the start-up touches outside the program, scripted: the program folder, the
// registry's reader keys, the message boxes, the shell, the media service and the temporary
// folder.
class PlayerHarness
{
  public:
    PlayerHarness()
    {
        toolkit::setAppPath(course.bin());
        qputenv("TMPDIR", course.scratch().toUtf8());
        sys::setRegistryAnswer([this](sys::RegistryRoot root, const std::string &key) {
            askedKeys.push_back(key);
            if (root != sys::RegistryRoot::LocalMachine || !readerInstalled)
                return false;
            return key == "Software\\Adobe" || key == "Software\\Adobe\\Reader";
        });
        toolkit::setMessageBoxHandler([this](const toolkit::MessageBoxCall &call) {
            boxes.push_back(call);
            return answer;
        });
        resetState();
    }

    ~PlayerHarness()
    {
        closeEverything();
        toolkit::setMessageBoxHandler({});
        sys::setRegistryAnswer({});
        toolkit::setAppPath({});
        resetState();
    }

    PlayerHarness(const PlayerHarness &) = delete;
    PlayerHarness &operator=(const PlayerHarness &) = delete;

    // Runs the start-up as the program does: the splash window is the first thing created.
    void start() { forms::frmSplash(); }

    // Unloads whatever is still loaded and lets the deferred deletions run.
    static void closeEverything()
    {
        for (toolkit::Form *form : toolkit::loadedForms())
            form->Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    static void resetState()
    {
        using namespace modGlobals;
        gMediaRoot.clear();
        gReaderInstalled = false;
        gLowRes = false;
        gFullScreen = false;
        gKeepPlaylist = false;
        gSelectedKey.clear();
    }

    // The key the start-up gives a video of the course index.
    static QString keyOf(const QString &relative) { return modGlobals::gMediaRoot + relative; }

    CourseFolder course;
    CommandLog media;
    shell::ShellRecorder shellCalls;
    bool readerInstalled = true;
    int answer = toolkit::vbOK;
    std::vector<toolkit::MessageBoxCall> boxes;
    std::vector<std::string> askedKeys;
};
