#include "cli/Commands.h"

#include "cli/ArticleCommand.h"
#include "cli/BatchCommands.h"
#include "cli/CheckCommand.h"
#include "cli/DefaultsCommand.h"
#include "cli/IndexCommand.h"
#include "cli/SiteOptions.h"
#include "cli/OptionNames.h"
#include "cli/SortCommands.h"

// A command is one row here and one run function; its help comes from the row.
namespace vt::cli {
namespace {

using namespace Qt::StringLiterals;

const Option Storage{option::Storage, u"DIR"_s,
                     u"The storage folder the files are written to (Step 2). It must exist."_s};
const Option UrlList{
    option::UrlList, u"FILE"_s,
    u"A text file with one PAD file URL per line, imported as Step 1 does (at most 30,000)."_s};
const Option Start{option::Start, u"N"_s,
                   u"The record to start from (\"Start from record no:\", default 0). The run still makes as "
                   "many passes as the range end says."_s};
const Option End{
    option::End, u"N"_s,
    u"The range end (\"Range = 0 to\", 0 to 32,767; default: the whole list or folder). With --from-texts "
    u"the "
    "records 0 to N are made. With --url-list the run makes N passes from the start record S: S 0 makes the "
    "records 0 to N-1; a later S makes S to N-1 and then, in each pass left, makes record N again (pages) or "
    "goes on past N (texts)."_s};
const Option PageTemplate{option::Template, u"FILE"_s,
                          u"Use the file's text as the web page template instead of the default one."_s};
const Option AdBlock{option::AdBlock, u"FILE"_s,
                     u"Use the file's text as the ad block that replaces \"GoogleAdsenseXXX\"."_s};
const Option SafeValues{
    option::SafeValues, QString(),
    u"Write the markup characters of each PAD value (< > \" ' and an & that begins no character reference) "
    "into the page as character references (&lt; &gt; &quot; &#39; &amp;), so a PAD file cannot put script "
    "or markup into the site. File and folder names are unchanged."_s};
const Option Quiet{option::Quiet, QString(), u"Show no progress; errors only."_s};
const Option Parallel{
    option::Parallel, u"N"_s,
    u"Load up to N PAD files at once, at most 4 from one host (1 to 64, default 32; 1 loads one "
    "at a time). Pages are still made one by one in list order."_s};
const Option Timeout{
    option::Timeout, u"SECONDS"_s,
    u"Give up a PAD file's load after SECONDS without a byte from its server (1 to 3600, default 30), or "
    "after four times as long in all."_s};
const Option SinceLast{
    option::SinceLast, QString(),
    u"Ask each server for its PAD file only if it changed since the last --since-last run into the storage "
    "folder (If-None-Match, If-Modified-Since). A record whose PAD file did not change keeps its file as it "
    "is and counts as unchanged; a server that ignores the question sends the file as before. What the "
    "next run needs is kept in the storage folder's .vellumtide-fetch; without it every PAD file is fetched "
    "in full."_s};
const Option Theme{
    option::Theme, u"THEME"_s,
    u"Make the pages with a theme: classic (the default: the web page template, filled as Step 5 fills it), "
    "modern (built in: HTML5 pages for phones and desktops, with structured data and no ads unless "
    "--ad-block is given), or a folder holding a theme's page.html (Mustache) and files such as style.css, "
    "which are copied to the top of the site when they changed. A theme that cannot be used (no page.html, a "
    "Mustache error, a "
    "template that is not UTF-8) is refused, naming the file and line, before any page is written. A "
    "theme's pages are UTF-8, under the same file names."_s};
const Option PageSiteUrl{
    option::SiteUrl, u"URL"_s,
    u"The absolute http or https address the site is published at (as index --site-url). A theme then "
    "gives each page its canonical address, Open Graph tags and its URL in the structured data; without "
    "it those are left out. The classic theme does not use it."_s};
const Option AllowLocalFiles{option::AllowLocalFiles, QString(),
                             u"Also load the list's entries that name local files (absolute paths, file: "
                             "addresses); without it only http and https addresses are loaded."_s};

const std::vector<Command> CommandTable = {
    {u"pages"_s,
     u"Make web pages from a folder of PAD text files or from a list of PAD file URLs"_s,
     {u"pages --from-texts DIR --storage DIR [--end N] [OPTIONS]"_s,
      u"pages --url-list FILE --storage DIR [--start N] [--end N] [OPTIONS]"_s},
     u"With --from-texts: text-file mode (\"Make web pages from PAD text files\") over every file of "
     "DIR, in the order the folder lists them.\n\nWith --url-list: the list is imported as Step 1 does, "
     "then URL mode (\"Make web pages from PAD file URLs\") loads each PAD file and makes its page.\n\n"
     "Each page is written as <program name>.html in the storage folder."_s,
     {{option::FromTexts, u"DIR"_s, u"The folder of PAD text files to make pages from."_s},
      UrlList,
      Storage,
      Start,
      End,
      Parallel,
      Timeout,
      AllowLocalFiles,
      SinceLast,
      PageTemplate,
      AdBlock,
      SafeValues,
      Theme,
      PageSiteUrl,
      Quiet},
     {option::Storage},
     {},
     {u"pages --from-texts ~/pad/texts --storage ~/site/programs"_s,
      u"pages --url-list pad-urls.txt --storage ~/site/programs --start 100"_s,
      u"pages --from-texts ~/pad/texts --storage ~/site/programs --end 499"_s,
      u"pages --from-texts texts --storage out --template page-template.html --ad-block ad-block.txt --quiet"_s,
      u"pages --url-list pad-urls.txt --storage ~/site/programs --safe-values"_s,
      u"pages --url-list pad-urls.txt --storage ~/site/programs --since-last --quiet"_s,
      u"pages --url-list pad-urls.txt --storage ~/site/programs --timeout 10"_s,
      u"pages --from-texts ~/pad/texts --storage ~/site/programs --theme modern --site-url "
      "https://www.example.com/programs"_s},
     checkPages,
     runPages},
    {u"check"_s,
     u"Report, before a run, every record that would make a wrong, unsafe or lost page"_s,
     {u"check --from-texts DIR [--by-category] [--end N] [--format F] [--quiet]"_s,
      u"check --url-list FILE [--start N] [--end N] [--parallel N] [--timeout SECONDS] [--allow-local-files] "
      "[--format F] [--quiet]"_s},
     u"Reads the records that \"pages\" would make, from the same folder or list in the same order, and "
     "reports what their pages would get wrong: no page (no program name, or one no file can have), a page "
     "lost to a later record with the same page file, a value holding markup that runs in a browser, a URL "
     "field that is no absolute http or https address, a description over its PAD length or empty, a "
     "category that is none of the PAD format's 11, and a PAD file that could not be read or loaded. It "
     "writes no page and no file.\n\nThe report goes to standard output: a table with a count per finding "
     "(text), or CSV (RFC 4180) or JSON for scripts, both UTF-8. Exit code 0: no error found (warnings "
     "may be); 1: some error found; 2: nothing could be checked."_s,
     {{option::FromTexts, u"DIR"_s, u"The folder of PAD text files to check."_s},
      UrlList,
      {option::ByCategory, QString(),
       u"Pages are filed by category, as \"sort\" files them: two records lose a page to each other only "
       "with the same program name in the same category folder."_s},
      Start,
      End,
      Parallel,
      Timeout,
      AllowLocalFiles,
      {option::Format, u"F"_s, u"text (default), csv or json."_s},
      Quiet},
     {},
     {},
     {u"check --from-texts ~/pad/texts"_s,
      u"check --from-texts ~/pad/texts --by-category --format csv > findings.csv"_s,
      u"check --url-list pad-urls.txt --start 100 --format json"_s},
     checkCheck,
     runCheck},
    {u"texts"_s,
     u"Store the PAD files of a list of URLs as numbered text files"_s,
     {u"texts --url-list FILE --storage DIR [--start N] [--end N] [--parallel N] [--timeout SECONDS] "
      "[--allow-local-files] [--since-last] [--quiet]"_s},
     u"Text-store mode (\"Just store PAD files as text files\"): the list is imported as Step 1 does, then "
     "each PAD file is loaded and its text written as 0.txt, 1.txt ... in the storage folder, as \"Make "
     "txt\" writes them. The folder can then be made into pages with \"pages --from-texts\"."_s,
     {UrlList, Storage, Start, End, Parallel, Timeout, AllowLocalFiles, SinceLast, Quiet},
     {option::UrlList, option::Storage},
     {},
     {u"texts --url-list pad-urls.txt --storage ~/pad/texts"_s,
      u"texts --url-list pad-urls.txt --storage ~/pad/texts --start 5000 --quiet"_s,
      u"texts --url-list pad-urls.txt --storage ~/pad/texts --since-last"_s},
     checkTexts,
     runTexts},
    {u"article"_s,
     u"Make one article per PAD text file"_s,
     {u"article --from-texts DIR --storage DIR [--long] [OPTIONS]"_s},
     u"Fills the short article template (or the long one) from each file of DIR in turn and writes the "
     "article as <program name>.txt in the storage folder, under the same name rules as pages."_s,
     {{option::FromTexts, u"DIR"_s, u"The folder of PAD text files to make articles from."_s},
      Storage,
      {option::Long, QString(), u"Use the long article template."_s},
      {option::Template, u"FILE"_s, u"Use the file's text as the article template."_s},
      AdBlock,
      Quiet},
     {option::FromTexts, option::Storage},
     {},
     {u"article --from-texts ~/pad/texts --storage ~/site/articles"_s,
      u"article --from-texts ~/pad/texts --storage ~/site/articles --long"_s},
     checkArticle,
     runArticle},
    {u"sort"_s,
     u"Make web pages from a folder of PAD text files, filed into one folder per category"_s,
     {u"sort --pad-text-folder DIR [OPTIONS]"_s},
     u"The category sorting of the window program, with every question answered Yes: one folder per PAD "
     "category under DIR/Category, the PAD text files 0.txt, 1.txt ... moved into numbered subfolders of 50, "
     "and every page written as DIR/Category/<category>/<program name>.html."_s,
     {{option::PadTextFolder, u"DIR"_s,
       u"The folder of numbered PAD text files, as \"texts\" writes them."_s},
      PageTemplate,
      AdBlock,
      SafeValues,
      Theme,
      PageSiteUrl,
      Quiet},
     {option::PadTextFolder},
     {},
     {u"sort --pad-text-folder ~/pad/texts"_s,
      u"sort --pad-text-folder ~/pad/texts --template page-template.html"_s,
      u"sort --pad-text-folder ~/pad/texts --theme ~/site/my-theme --site-url https://www.example.com"_s},
     checkSiteUrl,
     runSort},
    {u"split"_s,
     u"Move the files of a folder into numbered subfolders"_s,
     {u"split --folder DIR [--per N] [--quiet]"_s},
     u"The folder splitter: the files of DIR, in the order the folder lists them, are moved into the "
     "subfolders 0, 1, 2 ... of DIR, N to a subfolder, each keeping its name. A file whose name is already "
     "taken in its subfolder is left where it is."_s,
     {{option::Folder, u"DIR"_s, u"The folder whose files are split."_s},
      {option::Per, u"N"_s, u"Files per subfolder (default 50)."_s},
      Quiet},
     {option::Folder},
     {},
     {u"split --folder ~/pad/texts"_s, u"split --folder ~/pad/texts --per 100"_s},
     checkSplit,
     runSplit},
    {u"index"_s,
     u"Write index pages of the category folders, or of a folder of pages, and a sitemap of every page"_s,
     {u"index --storage DIR --site-url URL [--index-template FILE] [--theme THEME] [--quiet]"_s},
     u"Writes index.html into every folder below DIR/Category that holds pages \"sort\" made: the "
     "programs of the folder by name, each linked to its page, with its version and short description "
     "from the numbered PAD texts of DIR (and of the subfolders 0, 1 ... sort moved them into). "
     "Category/index.html links every such folder with its number of pages. Category/sitemap.xml lists "
     "every page and index as URL/<path below DIR>; past 50,000 URLs or 50 MB it is the index of "
     "Category/sitemap-1.xml, sitemap-2.xml ...\n\nWithout DIR/Category, DIR is a flat folder of pages as "
     "\"pages\" writes them (<program>.html, subfolders not read): DIR/index.html lists them (version "
     "and description from the numbered PAD texts directly in DIR, if any), and DIR/sitemap.xml holds "
     "them and the index. A DIR with neither a Category folder nor a page is refused.\n\nThe index "
     "template repeats the text between <!--BeginCategoryRow--> and <!--EndCategoryRow--> once per "
     "category folder (on the top index), and the text between <!--BeginProgramRow--> and "
     "<!--EndProgramRow--> once per program. Its placeholders: IndexTitleXXX (the category, "
     "\"Categories\" on the top index, or \"Programs\" on a flat folder's index) and TopIndexXXX (the link "
     "to Category/index.html, or to the flat folder's index.html) anywhere; CategoryNameXXX, "
     "CategoryLinkXXX and CategoryPagesXXX in a category row; ProgramNameXXX, ProgramLinkXXX, "
     "ProgramVersionXXX and ProgramDescriptionXXX in a program row. Every value is written as plain text "
     "and every link percent-encoded, so a PAD value cannot put markup into an index. Index pages are "
     "Windows-1252, or UTF-8 when the template declares charset=utf-8. Only regular files are linked; no "
     "link is followed and no file written through one.\n\nExit code 0: every file was written; 1: some "
     "could not be, or a link was left out (each is named); 2: nothing was run; 130: stopped by Ctrl-C "
     "before the sitemap."_s,
     {{option::Storage, u"DIR"_s,
       u"The PAD text folder \"sort\" filed its pages under, as DIR/Category/<category>/<program>.html; "
       "or the folder \"pages\" wrote them into, as DIR/<program>.html."_s},
      {option::SiteUrl, u"URL"_s,
       u"The absolute http or https address DIR is published at, such as https://www.example.com."_s},
      {option::IndexTemplate, u"FILE"_s,
       u"Use the file's text as the index template instead of the default one (\"defaults\" writes it)."_s},
      {option::Theme, u"THEME"_s,
       u"Make the index pages with a theme's index.html instead of the index template: modern (built in), or "
       "a theme folder as \"pages --theme\" takes it, whose other files are copied beside the top index when "
       "they changed; classic is the index template. The pages are UTF-8 and end with the same mark."_s},
      Quiet},
     {option::Storage, option::SiteUrl},
     {},
     {u"index --storage ~/pad/texts --site-url https://www.example.com"_s,
      u"index --storage ~/site/programs --site-url https://www.example.com/programs --index-template "
      "index-template.html --quiet"_s,
      u"index --storage ~/pad/texts --site-url https://www.example.com --theme modern"_s},
     checkSiteUrl,
     runIndex},
    {u"defaults"_s,
     u"Write the default web page template, ad block and index template, or a built-in theme, to edit them"_s,
     {u"defaults [--theme THEME] DIR"_s},
     u"Writes the default web page template as page-template.html, the ad block as ad-block.txt and the "
     u"index "
     "template as index-template.html into DIR (Windows-1252, the texts exactly as the program holds them). "
     "Edit them and hand them back with --template, --ad-block and --index-template.\n\nWith --theme modern "
     "it "
     "writes the files of the built-in modern theme instead (page.html, style.css ...; UTF-8, as the program "
     "holds them): a theme folder to edit and hand back with --theme DIR."_s,
     {{option::Theme, u"THEME"_s,
       u"classic (the default: the template files) or modern (its theme folder)."_s}},
     {},
     {u"DIR"_s},
     {u"defaults ~/site/templates"_s, u"defaults --theme modern ~/site/my-theme"_s},
     checkDefaults,
     runDefaults},
};

} // namespace

const std::vector<Command>& Commands() {
    return CommandTable;
}

} // namespace vt::cli
