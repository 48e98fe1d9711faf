// SPDX-License-Identifier: MIT
#include "loader/TransferObserver.h"

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
