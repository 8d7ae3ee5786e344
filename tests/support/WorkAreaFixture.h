#pragma once

#include "masterdata/MasterDataStore.h"
#include "packer/u3Des.h"
#include "platform/ProfileFile.h"
#include "workareas/WorkAreaServices.h"

#include <QStringList>

namespace tolvane::testutil {

// What the main window gives a work area, over the application directory appDir: the settings
// file there, the store loaded from its key files and its packing library, with a file explorer
// that notes the folders it is asked to open instead of opening them.
struct WorkAreaFixture {
    WorkAreaFixture(const QString& appDir, Dialogs& dialogs);
    WorkAreaFixture(const WorkAreaFixture&) = delete;
    WorkAreaFixture& operator=(const WorkAreaFixture&) = delete;

    ProfileFile settings;
    MasterDataStore store;
    PackingBridge packer;
    QStringList explored;
    WorkAreaServices services;
};

} // namespace tolvane::testutil
