#pragma once

#include "model/rasteriser.h"

#include <string>
#include <utility>

namespace tgw {

// A rasteriser that renders nothing: every call fails with the reason it was made with. For
// lists whose entries get their dots through setMatrix() and must never render (the library
// index, encoders fed prepared matrices): an entry that does try shows up as this failure.
class CNullRasteriser : public IRasteriser {
public:
    explicit CNullRasteriser(std::string reason = "not rendered") : m_reason(std::move(reason)) {}

    Status renderCharacter(char16_t, const CAnsiForm&, const CFontSettings&, CDotMatrix&) override {
        return failure(m_reason);
    }
    Status renderString(std::u16string_view, bool, const CFontSettings&, CDotMatrix&) override {
        return failure(m_reason);
    }
    Status renderPicture(const std::u16string&, uint8_t, CDotMatrix&) override {
        return failure(m_reason);
    }

private:
    std::string m_reason;
};

} // namespace tgw
