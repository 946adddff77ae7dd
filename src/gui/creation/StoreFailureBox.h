#pragma once

#include "creation/modBatch.h"

// The batch windows' answer when a post cannot be stored: the user's Abort, Retry or Ignore.
StoreDecision AskStoreFailure(const Failure& question);
