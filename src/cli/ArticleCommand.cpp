#include "cli/ArticleCommand.h"

#include "article/ArticleFill.h"
#include "article/ArticleSources.h"
#include "article/ArticleTemplates.h"
#include "cli/CommandLine.h"
#include "cli/Interrupt.h"
#include "cli/OptionNames.h"
#include "cli/Session.h"
#include "files/AllFiles.h"
#include "pagegen/PageWriter.h"

namespace vt::cli {
namespace {

using namespace Qt::StringLiterals;

const QString UnreadableTexts = u"%1 PAD text files could not be read"_s;

// The number of texts the load will hand on, for the progress: every listed file.
int textCount(const QString& folder) {
    const Result<QStringList> names = files::AllFiles(folder);
    return names ? int(names.value().size() - names.value().count(QString())) : 0;
}

std::optional<QString> articleTemplate(Session& session, const Arguments& arguments) {
    if (arguments.has(option::Template)) {
        return session.readOptionText(arguments.value(option::Template));
    }
    return arguments.has(option::Long) ? article::LongArticleTemplate() : article::ShortArticleTemplate();
}

} // namespace

QString checkArticle(const Arguments& arguments) {
    if (arguments.has(option::Long) && arguments.has(option::Template)) {
        return u"--long and --template both choose the article template; give one of them."_s;
    }
    return QString();
}

// The texts come from the article maker's load, each filled by its fill; the ad block is the
// workflow's, so --ad-block works here as it does for pages.
ExitCode runArticle(const Arguments& arguments) {
    Session session(arguments.has(option::Quiet));
    const QString storage = arguments.value(option::Storage);
    const QString folder = arguments.value(option::FromTexts);
    if (!session.requireFolder(u"storage folder"_s, storage) ||
        !session.requireFolder(u"folder of PAD text files"_s, folder) || !session.applyAdBlock(arguments)) {
        return ExitCode::Refused;
    }
    const std::optional<QString> outline = articleTemplate(session, arguments);
    if (!outline) {
        return ExitCode::Refused;
    }
    const QString& adBlock = session.workflow().templateText(workflow::TemplateText::AdBlock);
    const int total = textCount(folder);
    workflow::BatchSummary summary;
    const Result<article::SourcesLoaded> loaded = article::LoadArticleSources(folder, [&](QString text) {
        // The load cannot be stopped midway; after a Ctrl-C it reads on but nothing is written.
        if (interrupted()) {
            return;
        }
        session.progress().update(summary.records, total);
        ++summary.records;
        const article::FilledArticle filled = article::FillArticle(text, *outline, adBlock);
        const auto written = pagegen::WriteArticle(storage, filled.programName, filled.page);
        if (!written) {
            ++summary.failed;
            summary.failures += u"Record %1: %2"_s.arg(summary.records - 1).arg(written.message());
        } else {
            ++(written.value() == platform::FileWrite::Unchanged ? summary.unchanged : summary.written);
        }
    });
    if (!loaded) {
        session.console().message(loaded.message());
        return ExitCode::Refused;
    }
    if (loaded.value().unreadable > 0) {
        summary.records += int(loaded.value().unreadable);
        summary.failed += int(loaded.value().unreadable);
        summary.failures += UnreadableTexts.arg(loaded.value().unreadable);
    }
    session.progress().finish(!interrupted());
    return session.conclude(summary);
}

} // namespace vt::cli
