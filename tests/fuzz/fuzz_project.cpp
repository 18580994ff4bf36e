// Project files come from anywhere the user picks; the reader must survive every byte string.
// What it reads is opened as the program opens a project: modules with their sub-modules and
// the program's pages are built from the records of the example descriptions and handed their
// parameter bytes. Saving those modules must give a file that opens, and opening and saving that
// one (in the other language) must give the very same records.
#include "familymap.h"
#include "fuzzprogram.h"
#include "module.h"
#include "projectfile.h"
#include "projectmodules.h"
#include "submodule.h"

#include <cstddef>
#include <cstdint>

namespace {

FamilyMap families;
PromptRecorder *prompts = nullptr;

QList<ProjectFile::ModuleRecord> modulesOf(const ProjectFile::ReadResult &result)
{
    QList<ProjectFile::ModuleRecord> modules;
    for (const ProjectFile::Section &s : result.sections)
        modules += s.modules;
    return modules;
}

bool sameSubmodules(const QList<ProjectFile::SubmoduleRecord> &a, const QList<ProjectFile::SubmoduleRecord> &b)
{
    if (a.size() != b.size())
        return false;
    for (int i = 0; i < a.size(); ++i) {
        if (a[i].name != b[i].name || a[i].slot != b[i].slot || a[i].softwareVer != b[i].softwareVer)
            return false;
    }
    return true;
}

bool sameRecord(const ProjectFile::ModuleRecord &a, const ProjectFile::ModuleRecord &b)
{
    return a.name == b.name && a.mac == b.mac && a.ip == b.ip && a.mask == b.mask && a.gateway == b.gateway
        && a.inlen == b.inlen && a.outlen == b.outlen && a.Paralen == b.Paralen && a.softwareVer == b.softwareVer
        && a.backbusVer == b.backbusVer && a.subnum == b.subnum && a.hasParameters == b.hasParameters
        && a.parameters == b.parameters && sameSubmodules(a.submodules, b.submodules);
}

// Opens the records as the program opens a project, then saves the modules as it saves one:
// the file's text, and in names the types of the modules that were built.
QString openAndSave(const QList<ProjectFile::ModuleRecord> &records, int language, QStringList *names)
{
    QList<module *> modules;
    for (const ProjectFile::ModuleRecord &record : records) {
        if (module *m = ProjectModules::buildModule(record, families)) {
            m->setLanguage(language);
            for (submodule *s : qAsConst(m->submodules))
                s->setLanguage(language);
            modules.append(m);
            names->append(record.name);
        }
    }
    const QString text = ProjectFile::documentXml(
        ProjectFile::fileInfoXml(QStringLiteral("p"), QStringLiteral("t"), QStringLiteral("d")),
        ProjectModules::modulesXml(modules));
    qDeleteAll(modules);
    // What the modules handed to deleteLater goes now, as the program's event loop would do.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return text;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    prompts = startProgramForFuzzing(argc, argv);
    if (!families.read() || families.isEmpty())
        __builtin_trap();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    const ProjectFile::ReadResult result = ProjectFile::read(bytes);
    // What was read must write out again and read back to the same modules.
    QString text;
    for (const ProjectFile::Section &s : result.sections)
        for (const ProjectFile::ModuleRecord &m : s.modules)
            text += ProjectFile::moduleXml(m);
    const QString again = ProjectFile::documentXml(ProjectFile::fileInfoXml("p", "t", "d"), text);
    const ProjectFile::ReadResult back = ProjectFile::read(again.toUtf8());
    if (!back.ok)
        __builtin_trap();

    QStringList opened;
    const ProjectFile::ReadResult saved = ProjectFile::read(openAndSave(modulesOf(result), 0, &opened).toUtf8());
    const QList<ProjectFile::ModuleRecord> first = modulesOf(saved);
    if (!saved.ok || first.size() != opened.size())
        __builtin_trap();
    for (int i = 0; i < first.size(); ++i) {
        if (first[i].name != opened[i])
            __builtin_trap();
    }
    QStringList reopened;
    const QList<ProjectFile::ModuleRecord> second
        = modulesOf(ProjectFile::read(openAndSave(first, 1, &reopened).toUtf8()));
    if (reopened != opened || second.size() != first.size())
        __builtin_trap();
    for (int i = 0; i < first.size(); ++i) {
        if (!sameRecord(first[i], second[i]))
            __builtin_trap();
    }
    prompts->messages.clear();
    prompts->dialogsRun.clear();
    prompts->menus.clear();
    return 0;
}
