// SPDX-License-Identifier: MIT
#include "serial/VaPrst.h"

#include <string>

#include "serial/VaClasses.h"

void TVaPersistent::Assign(const TVaPersistent& source) {
    AssignError(source);
}

void TVaPersistent::AssignError(const TVaPersistent& source) const {
    throw EVaConvertError(std::string("Cannot assign a ") + source.ClassName() + " to a " +
                          ClassName());
}

void TVaPersistent::EndUpdate() {
    if (updateCount_ > 0) --updateCount_;
    Changed();
}

void TVaPersistent::Changed() {
    if (updateCount_ == 0 && OnChange) {
        // A copy, so that a handler replacing OnChange does not destroy what is running.
        const TChangeEvent handler = OnChange;
        handler(*this);
    }
}

void TVaFlowControl::Assign(const TVaPersistent& source) {
    const auto* from = dynamic_cast<const TVaFlowControl*>(&source);
    if (!from) AssignError(source);
    // Nothing in the bracket raises: the owner hears of the copy once, at EndUpdate.
    BeginUpdate();
    SetOutCtsFlow(from->OutCtsFlow());
    SetOutDsrFlow(from->OutDsrFlow());
    SetControlDtr(from->ControlDtr());
    SetControlRts(from->ControlRts());
    SetXonXoffOut(from->XonXoffOut());
    SetXonXoffIn(from->XonXoffIn());
    SetDsrSensitivity(from->DsrSensitivity());
    SetTxContinueOnXoff(from->TxContinueOnXoff());
    EndUpdate();
}

void TVaEventChars::SetChar(int index, char value) {
    if (index < 1 || index > 5) return;
    chars_[index - 1] = value;
    Changed();
}

void TVaEventChars::Assign(const TVaPersistent& source) {
    const auto* from = dynamic_cast<const TVaEventChars*>(&source);
    if (!from) AssignError(source);
    BeginUpdate();
    for (int i = 1; i <= 5; ++i)
        SetChar(i, from->chars_[i - 1]);
    EndUpdate();
}

void TVaBuffers::Assign(const TVaPersistent& source) {
    const auto* from = dynamic_cast<const TVaBuffers*>(&source);
    if (!from) AssignError(source);
    BeginUpdate();
    readSize_ = from->readSize_;
    writeSize_ = from->writeSize_;
    readTimeout_ = from->readTimeout_;
    writeTimeout_ = from->writeTimeout_;
    xonLimit_ = from->xonLimit_;
    xoffLimit_ = from->xoffLimit_;
    EndUpdate();
}
