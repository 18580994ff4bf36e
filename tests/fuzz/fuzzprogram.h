#ifndef FUZZPROGRAM_H
#define FUZZPROGRAM_H

#include "apppaths.h"
#include "builtinpages.h"
#include "promptrecorder.h"
#include "resourceinit.h"

#include <QApplication>

// Starts what the program's main() starts before modules are built: the application, its
// resources and its page list (without the pages a module hands its bytes to no one), with the
// example descriptions as the folder beside the program. Pages warn about bytes they cannot take;
// the returned recorder answers them, since a modal box would stop the run for good.
inline PromptRecorder *startProgramForFuzzing(int *argc, char ***argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(*argc, *argv);
    rivudoInitResources();
    registerBuiltinPages();
    AppPaths::setAppDirOverride(QStringLiteral(RIVUDO_SOURCE_DIR "/data"));
    static PromptRecorder recorder;
    return &recorder;
}

#endif
