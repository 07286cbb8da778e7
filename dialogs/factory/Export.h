#pragma once
// Marks what the shared library exports. Everything else in it is hidden.
#define DATAMODELDIALOGS_API __attribute__((visibility("default")))
