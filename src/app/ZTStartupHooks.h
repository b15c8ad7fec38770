#pragma once

#include <QtGlobal>

// What start-up asks of the backup controller. The base answers "nothing to do": restore and
// the pre-upgrade backup arrive with the backup work, which derives from this class.
class ZTBackupControlling
{
public:
    virtual ~ZTBackupControlling() = default;
    // A restore was prepared in the last run and must be deployed before the store opens.
    virtual bool needsRestore() { return false; }
    virtual void deployDataFromBackup() {}
    // The data of an older version must be backed up before this version touches it.
    virtual bool requiresBackup() { return false; }
    virtual void backupFormerVersionData() {}
};

// The numbering steps of starting the main window. The base does nothing and reports no simple
// sequencers; ZTNumberingManager does the work, and tests may put a stand-in in its place.
class ZTNumberingStartup
{
public:
    virtual ~ZTNumberingStartup() = default;
    virtual void fixThatVersionThatDidNotSaveLastDateIssued() {}
    virtual qsizetype sequencersCount() { return 0; }
    virtual void cleanupSequencers() {}
    virtual void importFromOldSequencerSystem() {}
    virtual void createInitialSequencers() {}
};
