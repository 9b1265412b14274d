#pragma once
// Program-wide message texts.
namespace qv {

inline constexpr const char* kRightsErrorCaption = "Установка Кворвель";
inline constexpr const char* kRightsErrorText =
    "Программа \"Кворвель\" не может быть установлена, т.к. у Вас недостаточно прав для установки "
    "программного обеспечения.\n\n"
    "Для получения более детальной информации обратитесь к администратору компьютера.";

}  // namespace qv
