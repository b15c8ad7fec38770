#pragma once

#include "app/ZTStartupHooks.h"
#include "model/ZTEntityManager.h"

// The numbering steps of start-up over the active company's context: repairs and clean-up of
// the simple sequencers of older data, their one-time import, and a sequencer for every kind.
class ZTNumberingManager : public ZTNumberingStartup
{
public:
    explicit ZTNumberingManager(ZTEntityManager::ContextProvider context) : m_context(std::move(context)) {}

    void fixThatVersionThatDidNotSaveLastDateIssued() override;
    qsizetype sequencersCount() override;
    void cleanupSequencers() override;
    void importFromOldSequencerSystem() override;
    void createInitialSequencers() override;

private:
    ZTEntityManager::ContextProvider m_context;
};
