// SPDX-License-Identifier: MIT
#include "app/Form1Texts.h"

#include "base/HexDigits.h"

namespace {
std::string AtLine(int64_t line, const std::string& what) {
    return "Ошибка в строке " + std::to_string(line) + " файла обновления: " + what;
}

// What is wrong with a record line; empty for problems that are not about one line.
std::string RecordFault(const ConversionProblem& p) {
    switch (p.fault) {
        case ConversionFault::NoStartCode:
            return "запись не начинается с символа ':'";
        case ConversionFault::LineTooShort:
            return "строка короче, чем требует длина записи";
        case ConversionFault::NotHexadecimal:
            return "в записи есть символ, не являющийся шестнадцатеричной цифрой";
        case ConversionFault::WrongChecksum:
            return "неверная контрольная сумма записи";
        case ConversionFault::TextAfterRecord:
            return "после контрольной суммы записи в строке есть ещё символы";
        case ConversionFault::SecondRecord:
            return "после контрольной суммы записи в строке начинается ещё одна запись; каждая "
                   "запись должна стоять в своей строке";
        case ConversionFault::EndRecordWithData:
            return "запись конца файла содержит данные";
        case ConversionFault::AddressRecordLength:
            return "неверная длина записи расширенного адреса";
        case ConversionFault::UnknownRecordType:
            return "неизвестный тип записи " + HexDigits(p.value, 2);
        case ConversionFault::OutsideMemory:
            return "данные за пределами 64 КиБ памяти устройства (адрес " +
                   HexDigits(p.address, 4) + ")";
        case ConversionFault::ByteGivenTwice:
            return "байт по адресу " + HexDigits(p.address, 4) + " уже задан другим значением (" +
                   HexDigits(p.value, 2) + ", здесь " + HexDigits(p.otherValue, 2) + ")";
        default:
            return {};
    }
}
}  // namespace

const char* TransferMessageText(TransferMessage message) {
    switch (message) {
        case TransferMessage::NoScript:
            return "Ошибка: файл обновления не выбран";
        case TransferMessage::BadChecksum:
            return "Ошибка: Неверная контрольная сумма";
        case TransferMessage::Done:
            return "Обновление ПО в Тевр R7 завершено";
        case TransferMessage::EchoMismatch:
            return "Ошибка: эхо на линии не совпало с переданным (сбой линии). Проверьте кабель и "
                   "адаптер";
        case TransferMessage::DeviceGone:
            return "Ошибка: связь с БК потеряна: устройство или адаптер отключены";
        case TransferMessage::None:
            break;
    }
    return "";
}

std::string ConversionProblemText(const ConversionProblem& p) {
    switch (p.fault) {
        case ConversionFault::NotANumber:
            // The runtime's own words for a field that does not convert.
            return "'$" + p.text + "' is not a valid integer value";
        case ConversionFault::NoData:
            return "Ошибка: в файле обновления нет данных";
        case ConversionFault::ForeignEncoding:
        case ConversionFault::UnmarkedUtf16:
            return "Ошибка: файл обновления записан в кодировке " + p.text +
                   (p.fault == ConversionFault::UnmarkedUtf16 ? " без метки порядка байтов" : "") +
                   "; прочесть его можно только в ASCII, UTF-8 или UTF-16 с меткой порядка "
                   "байтов: сохраните файл в одной из них";
        case ConversionFault::ScriptLineTooLong:
            return "Ошибка: строка " + std::to_string(p.line) + " сценария передачи длиннее " +
                   std::to_string(p.limit) + " байт";
        default:
            return AtLine(p.line, RecordFault(p));
    }
}

std::string SignatureProblemText(const SignatureProblem& p) {
    switch (p.fault) {
        case SignatureFault::Missing:
            return "Ошибка: у файла обновления нет подписи выпуска (" + p.signatureFile +
                   "); здесь загружаются только подписанные выпуски";
        case SignatureFault::NoTrustedKey:
            return "Ошибка: нужна подпись выпуска, но нет ни одного доверенного ключа";
        case SignatureFault::Unreadable:
            return "Ошибка: подпись выпуска " + p.signatureFile + " не читается: " + p.detail;
        case SignatureFault::Malformed:
            return "Ошибка: файл " + p.signatureFile + " не является подписью minisign";
        case SignatureFault::UntrustedKey:
            return "Ошибка: файл обновления подписан ключом " + p.keyId +
                   ", которому здесь не доверяют";
        case SignatureFault::Invalid:
            return "Ошибка: подпись выпуска не совпадает с файлом обновления: файл изменён или "
                   "подпись сделана для другого файла";
        case SignatureFault::CommentAltered:
            return "Ошибка: доверенный комментарий подписи выпуска изменён после подписания";
        case SignatureFault::LegacyTooLong:
            return "Ошибка: подпись выпуска " + p.signatureFile +
                   " сделана в прежнем формате, который здесь проверяется только для файлов до " +
                   std::to_string(p.limit) + " байт; подпишите выпуск заново без -l";
    }
    return "Ошибка: подпись выпуска";
}

std::string TrustedKeysProblemText(const std::string& path, const KeyProblem& p) {
    std::string what;
    switch (p.fault) {
        case KeyFault::NoKey:
            what = "нет открытого ключа";
            break;
        case KeyFault::NotBase64:
        case KeyFault::WrongLength:
            what = "это не открытый ключ minisign";
            break;
        case KeyFault::WrongAlgorithm:
            what = "это не ключ Ed25519";
            break;
        case KeyFault::AllZero:
            what = "ключ из одних нулей не принимается";
            break;
    }
    return "Ошибка в строке " + std::to_string(p.line) + " файла доверенных ключей " + path + ": " +
           what;
}

std::string TrustedKeysUnreadableText(const std::string& path, const std::string& fileError) {
    return "Ошибка: файл доверенных ключей " + path + " не читается: " + fileError;
}

std::string ReleaseHintText(const ReleaseSignature& release) {
    // One line: a comment is the signer's text, but a tool tip is no place for its controls.
    std::string comment = release.trustedComment;
    for (char& c : comment)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
    return "Выпуск: " + comment + " (подпись проверена, ключ " + release.keyId + ")";
}

std::string ErrorMessage(const std::exception& error) {
    if (const auto* refused = dynamic_cast<const EConvertError*>(&error))
        return ConversionProblemText(refused->Problem());
    if (const auto* unsigned_ = dynamic_cast<const ESignatureError*>(&error))
        return SignatureProblemText(unsigned_->Problem());
    return error.what();
}
