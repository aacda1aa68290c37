#pragma once

#include <QString>
#include <QtGlobal>
#include <functional>
#include <string>
#include <vector>

struct sqlite3;

namespace Quellon {

class SqliteStatement;
class Database;

// Fills a newly created database with a made-up but plausible office: regions
// and client categories, salespersons, houses and half as many clients, their
// follow-ups, deals and matches. The same seed on the same day (Clock) gives
// the same rows, so tests and benchmarks can rely on what is there.
class DemoDataGenerator
{
public:
    // Told the houses and clients written so far; returning false cancels.
    using Progress = std::function<bool(int done, int total)>;
    enum class Result { Done, Cancelled, Failed };

    explicit DemoDataGenerator(Database &dm, quint64 seed = 1) : m_dm(dm), m_seed(seed) {}

    void setProgress(Progress progress) { m_progress = std::move(progress); }

    // Writes everything in one transaction: unless the answer is Done the
    // database is left as it was. Refuses a database that already holds houses,
    // clients or trees, whose numbers and codes would collide with the new ones.
    Result generate(int houses);
    // Chinese, for the user, when generate() did not answer Done.
    QString errorText() const { return m_error; }

private:
    // A house type or layout from the code lists with what makes it plausible.
    struct Kind
    {
        std::string name;
        int weight = 1;
        int minArea = 0; // square metres; 0: the layout decides
        int maxArea = 0;
        int minFloors = 1;
        int maxFloors = 1;
        int pricePercent = 100; // of a flat's price per square metre
        std::string use;
    };
    struct Region
    {
        std::string path; // as stored in House.F_area
        std::string place; // city, district and quarter for addresses
        std::string phoneCode;
        int pricePerM2 = 0;
    };
    struct Estate
    {
        std::string name;
        std::string road;
        int number = 0;
        int region = 0;
    };

    bool fill(sqlite3 *db, int houses);
    bool isEmpty(sqlite3 *db);
    bool loadCodes(sqlite3 *db);
    bool loadList(sqlite3 *db, const char *type, std::vector<std::string> &names);
    bool writeSalespersons(sqlite3 *db);
    bool writeRegions(sqlite3 *db);
    bool writeClientCategories(sqlite3 *db);
    void planEstates();
    bool writeClients(sqlite3 *db, int count);
    bool writeHouses(sqlite3 *db, int count);
    bool copyMatchedFields(sqlite3 *db);
    bool dropIndexes(sqlite3 *db, std::vector<std::string> &creates);
    bool runEach(sqlite3 *db, const std::vector<std::string> &statements);
    bool failed(const SqliteStatement &statement);
    bool advance();

    bool writeFollowUps(SqliteStatement &followUp, int mainId, int count, int entered, const std::string &salesperson);
    void bindReminder(SqliteStatement &statement);
    std::string personName(bool male);
    std::string mobile();
    std::string idNumber();
    std::string digits(int count);
    std::string someOf(const std::vector<std::string> &names, int percent);
    std::string choose(const std::vector<std::string> &names, int percent);
    const std::string &date(int daysFromToday) const;
    std::string moment(int daysFromToday);
    int dayBetween(int fromDaysAgo);

    quint64 nextRandom();
    int below(int n);
    bool chance(int percent) { return below(100) < percent; }
    template<typename List>
    const auto &pick(const List &list)
    {
        return list[below(int(std::size(list)))];
    }
    const Kind &pickWeighted(const std::vector<Kind> &kinds);

    Database &m_dm;
    quint64 m_seed;
    quint64 m_state = 0;
    Progress m_progress;
    QString m_error;
    bool m_cancelled = false;
    int m_done = 0;
    int m_total = 0;

    std::vector<std::string> m_dates; // "yyyy-MM-dd" from the oldest day used on
    int m_todayYear = 0;
    std::vector<Kind> m_houseTypes;
    std::vector<Kind> m_layouts;
    std::vector<std::string> m_statuses, m_sources, m_ownerships, m_landKinds, m_idKinds, m_wants, m_facilities,
        m_furniture, m_appliances, m_captions, m_modes, m_rentUnits;
    std::string m_dealtStatus;
    std::vector<std::string> m_salespersons;
    std::vector<Region> m_regions;
    std::vector<std::string> m_clientCategories;
    std::vector<Estate> m_estates;
    // Live clients who look for something to rent or to buy, by F_mainID.
    std::vector<int> m_rentSeekers;
    std::vector<int> m_buySeekers;
};

} // namespace Quellon
