#pragma once

#include <vector>

#include "grow_buffer.h"

// A piece of an HTML document on its way to the device. The markup is final; each value
// that needs converting to code page 1251 is still UTF-16 text and has a gap of one byte per
// UTF-16 unit waiting for it, its exact size in code page 1251 when every character has a
// place there.
struct HtmlChunk {
    struct Gap {
        qsizetype at;
        qsizetype length;
    };

    GrowBuffer<char> bytes;
    GrowBuffer<char16_t> text;  // the waiting values one after another, escaped
    std::vector<Gap> gaps;      // where each of them goes, in order

    void clear() {
        bytes.clear();
        text.clear();
        gaps.clear();
    }
};
