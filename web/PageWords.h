// SPDX-License-Identifier: MIT
#pragma once
// The page's own words, beside the window's: what its port list and its plan say, and why a
// browser cannot flash from it.
#include <optional>
#include <string>

#include "loader/ConvertedUpdate.h"
#include "release/ReleaseSignature.h"

// The texts the page's script asks for by number.
enum class TPageText : int {
    Caption,
    ApplicationTitle,
    Label1,
    SpeedButton1Hint,
    OpenDialog1Title,
    OpenDialog1FilterName,
    RequestPort,  // the port list's entry that asks the browser for another port
    NoSerial,     // the browser has no serial API
    NotSecure,    // the page came neither over https nor from this computer
    PlanTitle,    // above the plan shown instead of a flash
};

std::string PageText(TPageText which);
// A port the browser granted, by what it tells of it (USB ids, where it tells them); `number`
// tells apart two of the same kind.
std::string PagePortText(int usbVendor, int usbProduct, int number);
// What a flash of the converted file would do, for a browser that cannot flash.
std::string PagePlanText(const std::string& file, std::size_t size,
                         const ConvertedUpdate& converted,
                         const std::optional<ReleaseSignature>& release, bool keysTrusted);
