#include "ZTNumberingManager.h"

#include "ZTDocumentIDSequencerManager.h"
#include "ZTDocumentSmartSequencer.h"

#include "platform/ManagedObjectContext.h"

// Without a store (it could not be opened) start-up goes on and numbering has nothing to do.

void ZTNumberingManager::fixThatVersionThatDidNotSaveLastDateIssued()
{
    if (m_context())
        ZTDocumentIDSequencerManager(m_context).fixThatVersionThatDidNotSaveLastDateIssued();
}

qsizetype ZTNumberingManager::sequencersCount()
{
    return m_context() ? ZTDocumentIDSequencerManager(m_context).sequencersCount() : 0;
}

void ZTNumberingManager::cleanupSequencers()
{
    if (m_context())
        ZTDocumentIDSequencerManager(m_context).cleanupSequencers();
}

void ZTNumberingManager::importFromOldSequencerSystem()
{
    if (ManagedObjectContext *context = m_context())
        ZTDocumentSmartSequencer::importFromOldSequencerSystem(*context);
}

void ZTNumberingManager::createInitialSequencers()
{
    if (ManagedObjectContext *context = m_context())
        ZTDocumentSmartSequencer::createInitialSequencers(*context);
}
