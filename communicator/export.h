#pragma once

// The communicator library is built with hidden visibility; only what carries
// this mark is part of its binary interface.
#define LCD_COMMUNICATOR_EXPORT __attribute__((visibility("default")))
