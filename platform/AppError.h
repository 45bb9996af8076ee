#pragma once

#include <QString>
#include <exception>
#include <string>

// A failure as the program's traps see it: a number and a description.
// The program's own failures keep their classic numbers; a database failure carries
// its SQLite result code.
class AppError : public std::exception {
public:
    enum : int {
        InvalidCall = 5,
        WrongMaskLength = 10,
        FileNotFound = 53,
        FileExists = 58,
        PermissionDenied = 70,
        PathError = 75,
        InvalidValue = 380,
    };

    AppError(int code, QString text)
        : number(code), description(std::move(text)), utf8(description.toStdString()) {}

    const char* what() const noexcept override { return utf8.c_str(); }

    int number;
    QString description;

private:
    std::string utf8;
};
