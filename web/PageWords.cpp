// SPDX-License-Identifier: MIT
#include "web/PageWords.h"

#include "app/Form1Description.h"
#include "base/HexDigits.h"
#include "base/Translation.h"
#include "loader/TransferPlan.h"
#include "words/Words.h"

std::string PageText(TPageText which) {
    switch (which) {
        case TPageText::Caption:
            return Form1Caption();
        case TPageText::ApplicationTitle:
            return ApplicationTitleText();
        case TPageText::Label1:
            return Label1Caption();
        case TPageText::SpeedButton1Hint:
            return SpeedButton1Hint();
        case TPageText::OpenDialog1Title:
            return OpenDialog1Title();
        case TPageText::OpenDialog1FilterName:
            return OpenDialog1FilterName();
        case TPageText::RequestPort:
            // TRANSLATORS: the last entry of the page's port list.
            return Tr("Another port…");
        case TPageText::NoSerial:
            return Tr(
                "This browser cannot reach serial ports. Flashing from the page needs Web "
                "Serial, which Chrome, Edge, Opera and other browsers built on Chromium offer; "
                "Firefox and Safari do not. The page still converts a file and shows its plan.");
        case TPageText::NotSecure:
            return Tr(
                "The browser reaches serial ports only from a page served over https or from "
                "this computer (localhost); this one came over plain http from elsewhere. The "
                "page still converts a file and shows its plan.");
        case TPageText::PlanTitle:
            return Tr("What a flash would send");
    }
    return {};
}

std::string PagePortText(int usbVendor, int usbProduct, int number) {
    std::string text;
    if (usbVendor >= 0 && usbProduct >= 0) {
        text = Fill(Tr("USB adapter %1:%2"), {HexDigits(static_cast<uint32_t>(usbVendor), 4),
                                              HexDigits(static_cast<uint32_t>(usbProduct), 4)});
    } else {
        text = Tr("Serial port");
    }
    if (number > 1) text += " (" + std::to_string(number) + ")";
    return text;
}

std::string PagePlanText(const std::string& file, std::size_t size,
                         const ConvertedUpdate& converted,
                         const std::optional<ReleaseSignature>& release, bool keysTrusted) {
    const TransferPlan plan = PlanTransfer(converted.transferScript);
    std::string text;
    const auto row = [&](const std::string& label, const std::string& value) {
        text += label + ": " + value + "\n";
    };
    row(Tr("file"), file + " (" + ByteCountText(static_cast<int64_t>(size)) + ")");
    row(Tr("release"), release       ? ReleaseText(*release)
                       : keysTrusted ? Tr("not signed")
                                     : Tr("signature not checked: no key is trusted"));
    row(Tr("pages"), PlanPagesText(plan));
    row(Tr("blocks"), PlanBlocksText(plan));
    row(Tr("on the line"), PlanLineText(plan));
    return text;
}
