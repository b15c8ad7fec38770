#pragma once

class StoreModel;

// Registers the C++ class of every entity, so that the context creates the right objects.
void registerZTEntityClasses(StoreModel &model);
