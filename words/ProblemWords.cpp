// SPDX-License-Identifier: MIT
#include "base/Translation.h"
#include "words/Words.h"

namespace {
// Every byte of a character beyond ASCII is above 0x7F in UTF-8, so the last byte tells whether
// the last character sorts after "."; a signed char would take it for one below.
std::string WithFullStop(std::string text) {
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
    return text;
}

struct Wording {
    std::string operator()(const ConversionProblem& p) const { return ConversionProblemText(p); }
    std::string operator()(const FileProblem& p) const { return FileProblemText(p); }
    std::string operator()(const SerialProblem& p) const { return SerialProblemText(p); }
    std::string operator()(const SignatureProblem& p) const { return SignatureProblemText(p); }
    std::string operator()(const KeyProblem& p) const {
        if (p.keysFile.empty()) return KeyProblemText(p);
        if (p.fault == KeyFault::FileUnreadable)
            return TrustedKeysUnreadableText(p.keysFile, {p.fileFault, p.fileCode});
        return TrustedKeysProblemText(p.keysFile, p);
    }
    std::string operator()(const StallReason& p) const { return StallText(p, {}); }
    std::string operator()(const UnexpectedProblem& p) const {
        // An error none of the layers names: all there is of it is its own text.
        return p.logText.empty() ? Tr("an unexpected error") : p.logText;
    }
};
}  // namespace

std::string ProblemText(const Problem& problem) {
    return std::visit(Wording{}, problem);
}

std::string ErrorBoxText(const Problem& problem) {
    if (const auto* conversion = std::get_if<ConversionProblem>(&problem);
        conversion != nullptr && IsRecordFault(*conversion)) {
        return WithFullStop(
            Fill(Tr("Error in line %1 of the update file: %2"),
                 {std::to_string(conversion->line), ConversionFaultText(*conversion)}));
    }
    return WithFullStop(Fill(Tr("Error: %1"), {ProblemText(problem)}));
}
