#include "ReportLayout.h"

#include "AppError.h"

#include <QLocale>

ReportControl& ReportSection::AddLabel(const QString& controlName, const QRect& rect,
                                       ReportAlign align, bool canGrow, const QString& caption) {
    ReportControl c;
    c.kind = ReportControl::Label;
    c.name = controlName;
    c.rect = rect;
    c.align = align;
    c.canGrow = canGrow;
    c.caption = caption;
    controls.push_back(c);
    return controls.back();
}

ReportControl& ReportSection::AddField(const QString& controlName, const QString& column,
                                       const QRect& rect, ReportAlign align, bool canGrow,
                                       const QString& format) {
    ReportControl c;
    c.kind = ReportControl::Field;
    c.name = controlName;
    c.column = column;
    c.rect = rect;
    c.align = align;
    c.canGrow = canGrow;
    c.format = format;
    controls.push_back(c);
    return controls.back();
}

ReportControl& ReportSection::AddLine(const QString& controlName, int left, int top, int length) {
    ReportControl c;
    c.kind = ReportControl::Line;
    c.name = controlName;
    c.rect = QRect(left, top, length, 0);
    controls.push_back(c);
    return controls.back();
}

ReportControl& ReportSection::Control(const QString& controlName) {
    for (ReportControl& c : controls)
        if (c.name == controlName)
            return c;
    throw AppError(
        AppError::InvalidCall,
        QStringLiteral("The report section %1 has no control named %2").arg(name, controlName));
}

ReportSection& ReportLayout::AddSection(ReportSection::Kind kind, const QString& name, int height) {
    ReportSection s;
    s.kind = kind;
    s.name = name;
    s.height = qMax(0, height);
    sections.push_back(std::move(s));
    return sections.back();
}

ReportSection& ReportLayout::Section(const QString& name) {
    for (ReportSection& s : sections)
        if (s.name == name)
            return s;
    throw AppError(AppError::InvalidCall,
                   QStringLiteral("The report has no section named %1").arg(name));
}

ReportControl& ReportLayout::Control(const QString& section, const QString& name) {
    return Section(section).Control(name);
}

void ReportLayout::SetCaption(const QString& section, const QString& label, const QString& text) {
    ReportControl& control = Control(section, label);
    control.caption = text;
    control.codes = false;
}

void ReportLayout::SetFieldFormat(const QString& section, const QString& field,
                                  const QString& pattern) {
    Control(section, field).format = pattern;
}

const ReportSection* ReportLayout::SectionOf(ReportSection::Kind kind) const {
    for (const ReportSection& s : sections)
        if (s.kind == kind)
            return &s;
    return nullptr;
}

QPageSize ReportLayout::DefaultPageSize() {
    return QLocale::system().measurementSystem() == QLocale::ImperialUSSystem
               ? QPageSize(QPageSize::Letter)
               : QPageSize(QPageSize::A4);
}
