#pragma once

#include <QHash>
#include <QString>

#include <vector>

#include "check/Findings.h"

// The findings of records checked one after another, in the order the batch makes their pages.
// A PAD text is read by the fill's own field extraction, its page named by the page writer's own
// rules, and two records meet on one page file exactly when the batch would note a replaced page.
namespace vt::check {

class PadCheck {
public:
    // byCategory: pages are filed by category, as the category run files them.
    explicit PadCheck(bool byCategory);

    // Every finding of the record's PAD text, read from the file or address given; a page that a
    // later record replaces is named then.
    void checkText(int record, const QString& file, const QString& padText);
    // The record's text could not be read or loaded: why, as the batch says it.
    void notLoaded(int record, const QString& file, const QString& reason);

    const std::vector<Finding>& findings() const { return m_findings; }
    std::vector<Finding> takeFindings() { return std::move(m_findings); }

private:
    void checkPage(int record, const QString& file, const QString& programName, const QString& category);

    bool m_byCategory;
    QHash<QString, QString> m_pageMakers; // page file -> the record that made it last, with its file
    std::vector<Finding> m_findings;
};

} // namespace vt::check
