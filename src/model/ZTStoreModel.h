#pragma once

#include "platform/StoreModel.h"

#include <memory>

// The description of every stored entity of the program, with the model version recorded in
// each company's store. Built once per process.
std::shared_ptr<const StoreModel> ztStoreModel();

// The current model version; a store of an older version is migrated forward when opened.
constexpr int kZTStoreModelVersion = 1;
