#include "DemoDataGenerator.h"

#include "Clock.h"
#include "SqlDialect.h"
#include "SqliteStatement.h"
#include "Database.h"
#include "DatabaseTransaction.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <initializer_list>
#include <utility>

namespace Quellon {

namespace {

constexpr int HistoryDays = 3 * 365;
// Reminders fall due from a fortnight ago to a few weeks ahead, so that the
// reminder lists have something overdue, something today and something coming.
constexpr int ReminderDaysBefore = 15;
constexpr int ReminderDaysAfter = 25;
constexpr int MaxLeadDays = 7;
constexpr int ReminderPercent = 15;
constexpr int DealPercent = 10;
constexpr int MatchPercent = 5;
constexpr int RecyclePercent = 2;
constexpr int EstatesPerQuarter = 6;
constexpr size_t Salespersons = 12;
constexpr int ProgressStep = 1000;

struct CitySeed
{
    const char *name;
    const char *phoneCode;
    int pricePerM2;
};
const CitySeed Cities[] = {
    {"杭州市", "0571", 32000},
    {"上海市", "021", 62000},
    {"南京市", "025", 30000},
    {"苏州市", "0512", 24000},
};

struct DistrictSeed
{
    int city;
    const char *name;
    std::array<const char *, 4> quarters; // unused places are null
};
const DistrictSeed Districts[] = {
    {0, "西湖区", {"文新街道", "翠苑街道", "蒋村街道", "西溪街道"}},
    {0, "拱墅区", {"米市巷街道", "湖墅街道", "大关街道", nullptr}},
    {0, "上城区", {"湖滨街道", "清波街道", "南星街道", nullptr}},
    {0, "滨江区", {"西兴街道", "长河街道", "浦沿街道", nullptr}},
    {1, "浦东新区", {"陆家嘴", "张江", "花木", "金桥"}},
    {1, "徐汇区", {"徐家汇", "田林", "康健", nullptr}},
    {1, "静安区", {"南京西路", "静安寺", "曹家渡", nullptr}},
    {1, "闵行区", {"莘庄", "七宝", "古美", nullptr}},
    {2, "鼓楼区", {"湖南路", "宁海路", "华侨路", nullptr}},
    {2, "玄武区", {"新街口", "梅园新村", "玄武门", nullptr}},
    {2, "建邺区", {"南湖", "沙洲", "兴隆", nullptr}},
    {2, "江宁区", {"东山", "秣陵", "淳化", nullptr}},
    {3, "姑苏区", {"平江", "沧浪", "金阊", nullptr}},
    {3, "工业园区", {"湖西", "湖东", "娄葑", nullptr}},
    {3, "吴中区", {"长桥", "越溪", "郭巷", nullptr}},
};

struct CategorySeed
{
    const char *name;
    std::array<const char *, 4> children; // a category without children is a leaf itself
};
const CategorySeed ClientCategories[] = {
    {"个人客户", {"首次置业", "改善置业", "投资客户", "租房客户"}},
    {"企业客户", {"办公租赁", "商铺经营", "厂房仓储", nullptr}},
    {"VIP客户", {nullptr, nullptr, nullptr, nullptr}},
};

// Types and layouts the seed lists hold, with sizes, heights and prices that
// make sense for them; names added to the lists later get the defaults.
struct KindSeed
{
    const char *name;
    int weight, minArea, maxArea, minFloors, maxFloors, pricePercent;
    const char *use;
};
const KindSeed HouseTypeSeeds[] = {
    {"住宅", 60, 0, 0, 6, 33, 100, "住宅"},
    {"公寓", 12, 0, 0, 11, 33, 110, "住宅"},
    {"别墅", 3, 180, 500, 2, 3, 160, "住宅"},
    {"商住两用", 5, 0, 0, 18, 33, 95, "商住"},
    {"商铺", 8, 20, 300, 1, 3, 140, "商业"},
    {"写字楼", 6, 60, 800, 12, 40, 90, "办公"},
    {"厂房", 2, 500, 5000, 1, 3, 12, "工业"},
    {"仓库", 2, 200, 3000, 1, 2, 10, "仓储"},
    {"车位", 2, 12, 20, 1, 1, 60, "车位"},
};
const KindSeed OtherHouseType = {"", 5, 0, 0, 6, 18, 100, "住宅"};
const KindSeed LayoutSeeds[] = {
    {"开间", 4, 25, 45, 0, 0, 0, ""},       {"一室一厅", 10, 35, 60, 0, 0, 0, ""},
    {"两室一厅", 22, 55, 90, 0, 0, 0, ""},  {"两室两厅", 16, 70, 100, 0, 0, 0, ""},
    {"三室一厅", 14, 85, 120, 0, 0, 0, ""}, {"三室两厅", 18, 100, 145, 0, 0, 0, ""},
    {"四室两厅", 8, 130, 180, 0, 0, 0, ""}, {"五室及以上", 3, 170, 300, 0, 0, 0, ""},
    {"复式", 3, 120, 260, 0, 0, 0, ""},     {"跃层", 2, 120, 260, 0, 0, 0, ""},
};
const KindSeed OtherLayout = {"", 5, 50, 120, 0, 0, 0, ""};

const char *const Surnames[] = {
    "王", "李", "张", "刘", "陈", "杨", "黄", "赵", "吴", "周", "徐", "孙", "马", "朱", "胡", "郭", "何", "高",
    "林", "罗", "郑", "梁", "谢", "宋", "唐", "许", "韩", "冯", "邓", "曹", "彭", "曾", "萧", "田", "董", "袁",
    "潘", "于", "蒋", "蔡", "余", "杜", "叶", "程", "苏", "魏", "吕", "丁", "任", "沈", "姚", "卢", "姜", "崔",
    "钟", "谭", "陆", "汪", "范", "金", "石", "廖", "贾", "夏", "韦", "方", "白", "邹", "孟", "熊", "秦", "邱",
    "江", "尹", "薛", "段", "雷", "侯", "龙", "史", "陶", "黎", "贺", "顾", "毛", "郝", "龚", "邵", "万", "钱",
    "严", "武", "戴", "莫", "孔", "向", "汤", "欧阳", "诸葛", "司马"};
// The most frequent surnames are drawn more often, as in a real office.
constexpr int CommonSurnames = 20;
const char *const MaleGiven[] = {"伟", "强", "磊", "军", "勇", "杰", "涛", "斌", "超", "明", "刚", "平", "辉", "鹏",
                                 "华", "飞", "鑫", "波", "宇", "浩", "凯", "健", "俊", "帆", "旭", "宁", "龙", "林",
                                 "峰", "建", "国", "文", "志", "海", "东", "晨", "阳", "博", "嘉", "毅"};
const char *const FemaleGiven[] = {"芳", "娜", "敏", "静", "丽", "艳", "娟", "霞", "燕", "玲", "婷", "雪", "慧", "琳",
                                   "颖", "倩", "洁", "佳", "梅", "莉", "欣", "悦", "晶", "妍", "璐", "萍", "红", "月",
                                   "蕾", "薇", "雯", "露", "瑶", "琴", "丹", "彤", "怡", "菲", "楠", "岚"};
const char *const MobilePrefixes[] = {"130", "131", "132", "133", "135", "136", "137", "138", "139", "150", "151",
                                      "152", "155", "158", "159", "176", "177", "180", "186", "187", "188", "189"};
const char *const MailDomains[] = {"qq.com", "163.com", "126.com", "sina.com", "139.com"};
// Birthplace codes at the start of identity numbers.
const char *const BirthplaceCodes[] = {"330106", "330105", "330102", "310115", "310104", "320106",
                                       "320102", "320508", "340104", "360102", "420106", "510104"};

const char *const EstatePrefixes[] = {"阳光", "幸福", "金色", "绿城", "翠苑", "锦绣", "碧水", "明珠", "华府", "世纪",
                                      "东方", "紫金", "康城", "御景", "香樟", "枫林", "星河", "海棠", "滨江", "和平",
                                      "怡景", "春晓", "名仕", "书香", "天鹅", "新城", "望江", "丽都"};
const char *const EstateSuffixes[] = {"花园", "家园", "小区", "新村", "公寓", "苑", "府", "名邸", "嘉园", "城", "雅苑", "华庭"};
const char *const Roads[] = {"幸福路",   "人民路",   "解放路", "中山路", "建设路", "文化路",   "学院路",
                             "和平路",   "长江路",   "黄河路", "新华路", "青年路", "胜利路",   "光明路",
                             "朝阳路",   "滨河路",   "文一路", "延安路", "南京路", "天目山路", "体育场路",
                             "世纪大道", "西湖大道", "凤起路", "莫干山路", "东新街", "北京东路", "塘路"};
const char *const Decorations[] = {"毛坯", "简装修", "中等装修", "精装修", "豪华装修"};
const char *const SalePayments[] = {"一次性付款", "可按揭", "首付三成", "全款优先"};
const char *const RentPayments[] = {"押一付三", "押一付一", "押二付三", "半年付", "年付"};
const char *const SaleCommissions[] = {"佣金1%", "佣金1.5%", "佣金2%"};
const char *const RentCommissions[] = {"佣金半个月租金", "佣金一个月租金"};
const char *const Supermarkets[] = {"华联超市", "世纪联华", "物美超市", "沃尔玛", "家乐福", "永辉超市", "大润发", "便利店"};
const char *const Hospitals[] = {"第一人民医院", "中医院", "妇幼保健院", "社区卫生服务中心", "儿童医院", "第二人民医院"};
const char *const Schools[] = {"实验小学", "第一中学", "外国语学校", "师范附属小学", "育才中学", "文澜中学"};
const char *const HouseRemarks[] = {"",         "业主诚心出售", "南北通透，采光好", "近地铁，交通便利",
                                    "学区房",   "拎包入住",     "房东好说话",       "价格可谈",
                                    "满五唯一", "看房需提前预约", "急售",           "小区环境好，物业管理规范"};
const char *const FollowUpNotes[] = {"客户对价格有异议",   "已带客户看房，反馈较好", "业主同意适当降价",
                                     "电话未接通，改日再联系", "客户需与家人商量",   "约定周末看房",
                                     "已发送房源资料",     "客户要求再比较几套",     "业主在外地，钥匙在门店"};
const char *const SaleDealNotes[] = {"合同已签，等待过户", "已交定金", "贷款审批中", "已交房"};
const char *const RentDealNotes[] = {"租期一年，到期前提醒续租", "已交押金", "已签租赁合同", "租客已入住"};
const char *const MatchNotes[] = {"户型、价格基本符合", "已推荐给客户", "客户有意向，待约看", "区域符合，价格略高"};
const char *const Occupations[] = {"个体经营", "公司职员", "公务员", "教师",  "医生",
                                   "自由职业", "企业管理", "软件工程师", "销售", "退休"};
const char *const Purposes[] = {"自住", "投资", "办公", "经营"};
const char *const ClientRemarks[] = {"", "要求电梯房", "需近地铁", "看中学区", "预算可适当上浮", "周末方便看房"};

std::string str(std::initializer_list<std::string_view> parts)
{
    size_t size = 0;
    for (const std::string_view part : parts)
        size += part.size();
    std::string out;
    out.reserve(size);
    for (const std::string_view part : parts)
        out += part;
    return out;
}

std::string number(qint64 value, int width = 0)
{
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    const int length = int(end - buffer);
    return std::string(size_t(qMax(0, width - length)), '0') + std::string(buffer, end);
}

// Tenths as the lists show them: "89.5", and "120" rather than "120.0".
std::string tenths(int value)
{
    return value % 10 ? number(value / 10) + '.' + char('0' + value % 10) : number(value / 10);
}

std::string threeDigits(int value)
{
    return number(value, 3);
}

// "insert into T(a,b,x) values(?,?,'')": the bound columns in the order the
// values are bound, then columns that hold the same value in every row.
std::string insertSql(const char *table, std::initializer_list<const char *> bound,
                      std::initializer_list<std::pair<const char *, const char *>> fixed = {})
{
    std::string columns;
    std::string values;
    for (const char *column : bound) {
        columns += columns.empty() ? "" : ",";
        columns += column;
        values += values.empty() ? "?" : ",?";
    }
    for (const auto &[column, value] : fixed) {
        columns += std::string(",") + column;
        values += std::string(",") + value;
    }
    return str({"insert into ", table, "(", columns, ") values(", values, ")"});
}

const std::string EmptyDate = SqlDialect::emptyDateText().toStdString();
const std::string EmptyDateLiteral = "'" + EmptyDate + "'";
// Rows are entered under the built-in operator.
constexpr const char *OperatorLiteral = "'admin'";

} // namespace

// ---------------------------------------------------------------- the run

DemoDataGenerator::Result DemoDataGenerator::generate(int houses)
{
    m_error.clear();
    m_cancelled = false;
    m_state = m_seed;
    sqlite3 *db = SqliteStatement::handleOf(m_dm.database());
    if (!db) {
        m_error = QStringLiteral("数据库未连接。");
        return Result::Failed;
    }
    if (houses < 0) {
        m_error = QStringLiteral("房源数量不能为负数。");
        return Result::Failed;
    }
    if (!isEmpty(db))
        return Result::Failed;
    DatabaseTransaction transaction(m_dm);
    if (!transaction.isActive()) {
        m_error = QStringLiteral("无法开始写入数据库。");
        return Result::Failed;
    }
    if (!fill(db, houses))
        return m_cancelled ? Result::Cancelled : Result::Failed;
    if (!transaction.commit()) {
        m_error = QStringLiteral("保存演示数据失败。");
        return Result::Failed;
    }
    return Result::Done;
}

bool DemoDataGenerator::isEmpty(sqlite3 *db)
{
    SqliteStatement count;
    if (!count.prepare(db, "select (select count(*) from House) + (select count(*) from Client)"
                           " + (select count(*) from t_treecode)")
        || !count.next())
        return failed(count);
    if (count.columnInt(0) != 0) {
        m_error = QStringLiteral("数据库中已有房源、客户或区域资料，演示数据只能写入新建的数据库。");
        return false;
    }
    return true;
}

bool DemoDataGenerator::fill(sqlite3 *db, int houses)
{
    const int clients = houses / 2;
    m_done = 0;
    m_total = houses + clients;
    m_rentSeekers.clear();
    m_buySeekers.clear();

    const QDate today = Clock::today();
    m_todayYear = today.year();
    m_dates.clear();
    for (int day = -HistoryDays; day <= ReminderDaysAfter; ++day)
        m_dates.push_back(today.addDays(day).toString(Qt::ISODate).toStdString());

    if (!loadCodes(db) || !writeSalespersons(db) || !writeRegions(db) || !writeClientCategories(db))
        return false;
    planEstates();
    std::vector<std::string> indexes;
    // The statistics tell the planner that F_flag hardly narrows a list, so
    // rows are looked up by key rather than by a scan of that index.
    if (!dropIndexes(db, indexes) || !writeClients(db, clients) || !writeHouses(db, houses)
        || !runEach(db, indexes) || !copyMatchedFields(db) || !runEach(db, {"ANALYZE"}))
        return false;
    if (m_progress && !m_progress(m_total, m_total)) {
        m_cancelled = true;
        m_error = QStringLiteral("已取消。");
        return false;
    }
    return true;
}

bool DemoDataGenerator::failed(const SqliteStatement &statement)
{
    m_error = QStringLiteral("写入演示数据失败：") + statement.errorText();
    return false;
}

// Building an index once over all rows costs far less than keeping it in order
// row by row: 200,000 houses took 8.3 s with the indexes kept and 5.9 s this
// way. The statements that recreate them are the schema's own, read back from
// sqlite_master, so the indexes return exactly as they were.
bool DemoDataGenerator::dropIndexes(sqlite3 *db, std::vector<std::string> &creates)
{
    SqliteStatement list;
    if (!list.prepare(db, "select name, sql from sqlite_master where type = 'index' and sql is not null and tbl_name"
                          " in ('House', 'Client', 'T_gjREC', 'T_KHgjREC', 'T_cjREC', 'T_FYcltLink')"))
        return failed(list);
    std::vector<std::string> drops;
    while (list.next()) {
        drops.push_back(str({"drop index \"", list.columnText(0), "\""}));
        creates.emplace_back(list.columnText(1));
    }
    if (!list.errorText().isEmpty())
        return failed(list);
    return runEach(db, drops);
}

bool DemoDataGenerator::runEach(sqlite3 *db, const std::vector<std::string> &statements)
{
    SqliteStatement statement;
    for (const std::string &sql : statements) {
        if (!statement.prepare(db, sql) || !statement.exec())
            return failed(statement);
    }
    return true;
}

bool DemoDataGenerator::advance()
{
    ++m_done;
    if (!m_progress || m_done % ProgressStep != 0 || m_progress(m_done, m_total))
        return true;
    m_cancelled = true;
    m_error = QStringLiteral("已取消。");
    return false;
}

// ---------------------------------------------------------------- code lists and trees

bool DemoDataGenerator::loadList(sqlite3 *db, const char *type, std::vector<std::string> &names)
{
    names.clear();
    SqliteStatement query;
    if (!query.prepare(db, "select F_Name from t_code where F_type = ? order by F_ID"))
        return failed(query);
    query.text(type);
    while (query.next()) {
        if (!query.columnText(0).empty())
            names.emplace_back(query.columnText(0));
    }
    if (!query.errorText().isEmpty())
        return failed(query);
    // An emptied list still leaves every house a value to draw.
    if (names.empty())
        names.emplace_back();
    return true;
}

bool DemoDataGenerator::loadCodes(sqlite3 *db)
{
    std::vector<std::string> types;
    std::vector<std::string> layouts;
    const std::pair<const char *, std::vector<std::string> *> lists[] = {
        {"fwtype", &types},        {"fwhtype", &layouts},          {"status", &m_statuses},
        {"laiyuan", &m_sources},   {"qstype", &m_ownerships},      {"tdtype", &m_landKinds},
        {"zjname", &m_idKinds},    {"jytype", &m_wants},           {"sheshi", &m_facilities},
        {"jiaju", &m_furniture},   {"dianqi", &m_appliances},      {"gjcaption", &m_captions},
        {"gjmode", &m_modes},      {"unit", &m_rentUnits},
    };
    for (const auto &[type, names] : lists) {
        if (!loadList(db, type, *names))
            return false;
    }
    auto kinds = [](const std::vector<std::string> &names, const auto &seeds, const KindSeed &other) {
        std::vector<Kind> out;
        for (const std::string &name : names) {
            const KindSeed *seed = &other;
            for (const KindSeed &known : seeds) {
                if (name == known.name)
                    seed = &known;
            }
            out.push_back({name, seed->weight, seed->minArea, seed->maxArea, seed->minFloors, seed->maxFloors,
                           seed->pricePercent, seed->use});
        }
        return out;
    };
    m_houseTypes = kinds(types, HouseTypeSeeds, OtherHouseType);
    m_layouts = kinds(layouts, LayoutSeeds, OtherLayout);
    m_dealtStatus = m_statuses.front();
    for (const std::string &status : m_statuses) {
        if (status.find("成交") != std::string::npos)
            m_dealtStatus = status;
    }
    return true;
}

bool DemoDataGenerator::writeSalespersons(sqlite3 *db)
{
    m_salespersons.clear();
    while (m_salespersons.size() < Salespersons) {
        std::string name = personName(chance(60));
        if (std::find(m_salespersons.begin(), m_salespersons.end(), name) == m_salespersons.end())
            m_salespersons.push_back(std::move(name));
    }
    SqliteStatement insert;
    if (!insert.prepare(db, "insert into t_code(F_type,F_Name) values(?,?)"))
        return failed(insert);
    // Deals name their salesperson from a list of its own.
    for (const char *type : {"empname", "cjempname"}) {
        for (const std::string &name : m_salespersons) {
            if (!insert.text(type).text(name).exec())
                return failed(insert);
        }
    }
    return true;
}

bool DemoDataGenerator::writeRegions(sqlite3 *db)
{
    SqliteStatement insert;
    if (!insert.prepare(db, "insert into t_treecode(F_code,F_name,F_likecode,F_flag) values(?,?,?,'area')"))
        return failed(insert);
    m_regions.clear();
    int cityIndex = -1;
    std::string cityCode, cityPath;
    int districtNumber = 0;
    for (const DistrictSeed &district : Districts) {
        const CitySeed &city = Cities[district.city];
        if (district.city != cityIndex) {
            cityIndex = district.city;
            cityCode = threeDigits(cityIndex + 1);
            cityPath = str({"\\\\", city.name});
            districtNumber = 0;
            if (!insert.text(cityCode).text(city.name).text(cityPath).exec())
                return failed(insert);
        }
        const std::string districtCode = cityCode + threeDigits(++districtNumber);
        const std::string districtPath = str({cityPath, "\\", district.name});
        if (!insert.text(districtCode).text(district.name).text(districtPath).exec())
            return failed(insert);
        // Some districts cost more than others.
        const int districtPrice = city.pricePerM2 * (80 + below(51)) / 100;
        int quarterNumber = 0;
        for (const char *quarter : district.quarters) {
            if (!quarter)
                continue;
            const std::string path = str({districtPath, "\\", quarter});
            if (!insert.text(districtCode + threeDigits(++quarterNumber)).text(quarter).text(path).exec())
                return failed(insert);
            m_regions.push_back({path, str({city.name, district.name, quarter}), city.phoneCode,
                                 districtPrice * (90 + below(21)) / 100});
        }
    }
    return true;
}

bool DemoDataGenerator::writeClientCategories(sqlite3 *db)
{
    SqliteStatement insert;
    if (!insert.prepare(db, "insert into t_treecode(F_code,F_name,F_likecode,F_flag) values(?,?,?,'clttype')"))
        return failed(insert);
    m_clientCategories.clear();
    int number = 0;
    for (const CategorySeed &category : ClientCategories) {
        const std::string code = threeDigits(++number);
        const std::string path = str({"\\\\", category.name});
        if (!insert.text(code).text(category.name).text(path).exec())
            return failed(insert);
        int childNumber = 0;
        for (const char *child : category.children) {
            if (!child)
                continue;
            const std::string childPath = str({path, "\\", child});
            if (!insert.text(code + threeDigits(++childNumber)).text(child).text(childPath).exec())
                return failed(insert);
            m_clientCategories.push_back(childPath);
        }
        if (childNumber == 0)
            m_clientCategories.push_back(path);
    }
    return true;
}

void DemoDataGenerator::planEstates()
{
    m_estates.clear();
    for (int region = 0; region < int(m_regions.size()); ++region) {
        for (int i = 0; i < EstatesPerQuarter; ++i)
            m_estates.push_back(
                {str({pick(EstatePrefixes), pick(EstateSuffixes)}), pick(Roads), 1 + below(399), region});
    }
}

// ---------------------------------------------------------------- masters and details

bool DemoDataGenerator::writeFollowUps(SqliteStatement &followUp, int mainId, int count, int entered,
                                       const std::string &salesperson)
{
    for (int n = count; n > 0; --n) {
        followUp.integer(mainId)
            .text(date(dayBetween(entered)))
            .text(pick(m_captions))
            .text(pick(m_modes))
            .text(chance(80) ? salesperson : pick(m_salespersons))
            .text(pick(FollowUpNotes));
        bindReminder(followUp);
        if (!followUp.exec())
            return failed(followUp);
    }
    return true;
}

void DemoDataGenerator::bindReminder(SqliteStatement &statement)
{
    if (!chance(ReminderPercent)) {
        statement.integer(0).text(EmptyDate).integer(0).text(EmptyDate);
        return;
    }
    const int due = below(ReminderDaysBefore + ReminderDaysAfter + 1) - ReminderDaysBefore;
    const int lead = below(MaxLeadDays + 1);
    statement.integer(1).text(date(due)).integer(lead).text(date(due - lead));
}

bool DemoDataGenerator::writeClients(sqlite3 *db, int count)
{
    SqliteStatement client;
    SqliteStatement followUp;
    const bool prepared =
        client.prepare(db, insertSql("Client",
                                     {"F_mainID", "F_code", "F_status", "F_laiyuan", "F_editDate", "F_cltType",
                                      "F_cltName", "F_cltPhone", "F_sex", "F_ZJname", "F_ZJcode", "F_cltAddress",
                                      "F_cltWork", "F_cltInfo", "F_JYtype", "F_WYname", "F_DDname", "F_area",
                                      "F_JGname", "F_YT", "F_sheShi", "F_ZSinfo", "F_memo1", "F_HXtype",
                                      "F_empName", "F_flag"},
                                     {{"F_operName", OperatorLiteral},
                                      {"F_ZF1", "''"}, {"F_ZF2", "''"}, {"F_ZF3", "''"},
                                      {"F_ZF4", "''"}, {"F_ZF5", "''"},
                                      {"F_SZ1", "0"}, {"F_SZ2", "0"}, {"F_SZ3", "0"},
                                      {"F_RQ1", EmptyDateLiteral.c_str()},
                                      {"F_RQ2", EmptyDateLiteral.c_str()},
                                      {"F_RQ3", EmptyDateLiteral.c_str()}}));
    if (!prepared)
        return failed(client);
    if (!followUp.prepare(db, insertSql("T_KHgjREC", {"F_mainID", "F_GJdate", "F_GJcaption", "F_GJmode", "F_empName",
                                                      "F_memo1", "F_IFawoke", "F_awokeDate", "F_TSnum", "F_SJdate"})))
        return failed(followUp);

    for (int mainId = 1; mainId <= count; ++mainId) {
        const bool male = chance(50);
        const int entered = -below(HistoryDays);
        const std::string &want = pick(m_wants);
        const bool rents = want.find("租") != std::string::npos;
        const bool buys = !rents || want.find("购") != std::string::npos;
        const bool live = !chance(RecyclePercent);
        const Region &region = pick(m_regions);
        const Kind &layout = pickWeighted(m_layouts);
        const int lowArea = (layout.minArea / 10) * 10;
        const int highArea = lowArea + 20 + 10 * below(3);
        const int budget = qMax(30, region.pricePerM2 * (lowArea + highArea) / 2 / 10000 / 10 * 10);
        // About 0.2 % of the price a month, in hundreds of yuan.
        const int rent = qBound(800, budget * 20 / 100 * 100, 20000);
        const std::string price = buys ? str({number(budget * 8 / 100 * 10), "-", number(budget * 11 / 100 * 10), "万"})
                                       : str({number(rent), "-", number(rent + 1000), "元/月"});
        const std::string info = buys ? str({want, layout.name, "，预算", number(budget), "万左右，希望在", region.place})
                                      : str({want, layout.name, "，月租", number(rent), "元左右，希望在", region.place});
        const std::string salesperson = pick(m_salespersons);
        client.integer(mainId)
            .text(number(mainId, 8))
            .text(choose(m_statuses, 85))
            .text(pick(m_sources))
            .text(moment(entered))
            .text(pick(m_clientCategories))
            .text(personName(male))
            .text(mobile())
            .text(male ? "男" : "女");
        const bool identityCard = chance(90);
        client.text(identityCard ? m_idKinds.front() : pick(m_idKinds))
            .text(identityCard ? idNumber() : digits(9))
            .text(str({pick(m_regions).place, pick(Roads), number(1 + below(399)), "号"}))
            .text(pick(Occupations))
            .text(info)
            .text(want)
            .text(pickWeighted(m_houseTypes).name)
            .text(region.place)
            .text(str({number(lowArea), "-", number(highArea)}))
            .text(price)
            .text(pick(Purposes))
            .text(someOf(m_facilities, 40))
            .text(pick(Decorations))
            .text(pick(ClientRemarks))
            .text(layout.name)
            .text(salesperson)
            .integer(live ? 0 : 2);
        if (!client.exec())
            return failed(client);
        if (live && rents)
            m_rentSeekers.push_back(mainId);
        if (live && buys)
            m_buySeekers.push_back(mainId);

        if (!writeFollowUps(followUp, mainId, below(3), entered, salesperson))
            return false;
        if (!advance())
            return false;
    }
    return true;
}

bool DemoDataGenerator::writeHouses(sqlite3 *db, int count)
{
    SqliteStatement house;
    SqliteStatement followUp;
    SqliteStatement deal;
    SqliteStatement match;
    const bool prepared = house.prepare(
        db, insertSql("House",
                      {"F_mainID",    "F_code",       "F_name",       "F_area",      "F_FWtype",   "F_FWhtype",
                       "F_louceng",   "F_jzMianji",   "F_sjMianji",   "F_jzYear",    "F_jzMem",    "F_xqName",
                       "F_FYaddress", "F_JYtype",     "F_sheshi",     "F_jiaju",     "F_dianqi",   "F_chaoshi",
                       "F_yiyuan",    "F_xuexiao",    "F_gongjiao",   "F_IFzu",      "F_zuPrice",  "F_dprice1",
                       "F_SJprice1",  "F_IFsale",     "F_salePrice",  "F_dprice2",   "F_SJprice2", "F_FKmem",
                       "F_YJmem",     "F_memo1",      "F_LXempName",  "F_LXemail",   "F_LXphone",  "F_LXhandPhone",
                       "F_editDate",  "F_Laiyuan",    "F_status",     "F_EmpName",   "F_qsType",   "F_tdType",
                       "F_cqCode",    "F_LH",         "F_YT",         "F_flag"},
                      {{"F_memo2", "''"}, {"F_memo3", "''"}, {"F_memo4", "''"}, {"F_OperName", OperatorLiteral},
                       {"F_ZF1", "''"}, {"F_ZF2", "''"}, {"F_ZF3", "''"}, {"F_ZF4", "''"}, {"F_ZF5", "''"},
                       {"F_SZ1", "0"}, {"F_SZ2", "0"}, {"F_SZ3", "0"}, {"F_SZ4", "0"}, {"F_SZ5", "0"},
                       {"F_RQ1", EmptyDateLiteral.c_str()}, {"F_RQ2", EmptyDateLiteral.c_str()},
                       {"F_RQ3", EmptyDateLiteral.c_str()}}));
    if (!prepared)
        return failed(house);
    if (!followUp.prepare(db, insertSql("T_gjREC", {"F_mainID", "F_GJdate", "F_GJcaption", "F_GJmode", "F_empName",
                                                    "F_memo1", "F_IFawoke", "F_awokeDate", "F_TSnum", "F_SJdate"})))
        return failed(followUp);
    if (!deal.prepare(db, insertSql("T_cjREC", {"F_mainID", "F_CJdate", "F_CJtype", "F_cltName", "F_cltPhone",
                                                "F_ZJname", "F_ZJcode", "F_empName", "F_memo1", "F_IFawoke",
                                                "F_awokeDate", "F_TSnum", "F_SJdate", "F_editDate"})))
        return failed(deal);
    // The copied house and client fields are filled in afterwards from the
    // rows themselves, so that they cannot differ from the originals.
    if (!match.prepare(db, insertSql("T_FYcltLink", {"F_fyID", "F_cltID", "F_memo1", "F_editDate"},
                                     {{"F_operName", OperatorLiteral}})))
        return failed(match);

    for (int mainId = 1; mainId <= count; ++mainId) {
        const int entered = -below(HistoryDays);
        const Estate &estate = pick(m_estates);
        const Region &region = m_regions[size_t(estate.region)];
        const Kind &type = pickWeighted(m_houseTypes);
        const bool residential = type.minArea == 0 || type.use == "住宅";
        const Kind *layout = residential ? &pickWeighted(m_layouts) : nullptr;
        const Kind &sized = type.minArea > 0 ? type : *layout;
        const int area = sized.minArea * 10 + below((sized.maxArea - sized.minArea) * 10 + 1); // tenths of m²
        const int floors = type.minFloors + below(type.maxFloors - type.minFloors + 1);
        const int floor = 1 + below(floors);
        const int building = 1 + below(30);
        const std::string room = number(floor * 100 + 1 + below(residential ? 4 : 20));

        const int kind = below(100);
        const bool forSale = kind < 50 || kind >= 85;
        const bool forRent = kind >= 50;
        const int pricePerM2 = region.pricePerM2 * type.pricePercent / 100 * (85 + below(31)) / 100;
        int sale = qBound(300, int(qint64(pricePerM2) * area / 10000), 20000); // tenths of 10,000 yuan
        if (sale >= 1000)
            sale = sale / 10 * 10;
        const int rent = qBound(800, sale * (15 + below(16)) / 10 / 50 * 50, 20000);

        const bool dealt = chance(DealPercent);
        const bool live = !chance(RecyclePercent);
        const std::string salesperson = pick(m_salespersons);
        const std::string status = dealt ? m_dealtStatus : choose(m_statuses, 85);
        // Let flats come furnished more often than flats for sale.
        const int furnishedPercent = forRent ? 70 : 30;
        std::string bus = str({number(1 + below(300)), "路、", number(1 + below(300)), "路"});
        if (chance(30))
            bus += str({"、地铁", number(1 + below(9)), "号线"});

        house.integer(mainId)
            .text(number(mainId, 8))
            .text(str({estate.name, number(building), "幢", room, "室"}))
            .text(region.path)
            .text(type.name)
            .text(layout ? layout->name : std::string())
            .text(str({number(floor), "/", number(floors)}))
            .text(tenths(area))
            .text(tenths(area * (75 + below(16)) / 100))
            .text(number(m_todayYear - 1 - below(30)))
            .text(pick(Decorations))
            .text(estate.name)
            .text(str({estate.road, number(estate.number), "号", number(building), "幢", room, "室"}))
            .text(forSale && forRent ? "租售" : forSale ? "出售" : "出租")
            .text(someOf(m_facilities, 60))
            .text(someOf(m_furniture, furnishedPercent))
            .text(someOf(m_appliances, furnishedPercent))
            .text(pick(Supermarkets))
            .text(pick(Hospitals))
            .text(pick(Schools))
            .text(bus)
            .integer(forRent)
            .real(forRent ? rent : 0)
            .text(forRent ? m_rentUnits.front() : std::string())
            .real(forRent ? rent * (95 + below(6)) / 100 / 50 * 50 : 0)
            .integer(forSale)
            .real(forSale ? sale / 10.0 : 0)
            .real(forSale ? double(qint64(sale) * 10000 / area) : 0)
            .real(forSale ? sale * (95 + below(6)) / 100 / 10.0 : 0)
            .text(forSale ? pick(SalePayments) : pick(RentPayments))
            .text(forSale ? pick(SaleCommissions) : pick(RentCommissions))
            .text(pick(HouseRemarks))
            .text(personName(chance(50)))
            .text(chance(30) ? str({digits(5 + below(5)), "@", pick(MailDomains)}) : std::string())
            .text(str({region.phoneCode, "-", number(2 + below(7)), digits(7)}))
            .text(mobile())
            .text(moment(entered))
            .text(pick(m_sources))
            .text(status)
            .text(salesperson)
            .text(choose(m_ownerships, 70))
            .text(choose(m_landKinds, 85))
            .text(str({number(m_todayYear - below(20)), digits(7)}))
            .text(str({number(building), "幢"}))
            .text(type.use)
            .integer(live ? 0 : 2);
        if (!house.exec())
            return failed(house);

        if (!writeFollowUps(followUp, mainId, below(4), entered, salesperson))
            return false;
        if (dealt) {
            const int day = dayBetween(entered);
            const bool sold = forSale && (!forRent || chance(50));
            deal.integer(mainId)
                .text(date(day))
                .text(sold ? "出售" : "出租")
                .text(personName(chance(50)))
                .text(mobile())
                .text(m_idKinds.front())
                .text(idNumber())
                .text(salesperson)
                .text(sold ? pick(SaleDealNotes) : pick(RentDealNotes));
            bindReminder(deal);
            deal.text(moment(day));
            if (!deal.exec())
                return failed(deal);
        }
        if (live && chance(MatchPercent)) {
            const std::vector<int> &seekers = forSale && (!forRent || chance(50)) ? m_buySeekers : m_rentSeekers;
            if (!seekers.empty()) {
                match.integer(mainId).integer(pick(seekers)).text(pick(MatchNotes)).text(moment(dayBetween(entered)));
                if (!match.exec())
                    return failed(match);
            }
        }
        if (!advance())
            return false;
    }
    return true;
}

bool DemoDataGenerator::copyMatchedFields(sqlite3 *db)
{
    SqliteStatement copy;
    for (const char *sql :
         {"update T_FYcltLink set F_FYcode = h.F_code, F_fyName = h.F_name, F_fyFWtype = h.F_FWtype,"
          " F_fyFWHtype = h.F_FWhtype, F_fyArea = h.F_area, F_fyLouceng = h.F_louceng,"
          " F_fyJZmianji = h.F_jzMianji, F_fyJZmem = h.F_jzMem, F_fyZuPrice = h.F_zuPrice,"
          " F_fySalePrice = h.F_salePrice, F_fyStatus = h.F_status, F_fyLaiyuan = h.F_Laiyuan,"
          " F_fyEmpName = h.F_EmpName, F_empName = h.F_EmpName"
          " from House h where h.F_mainID = T_FYcltLink.F_fyID",
          "update T_FYcltLink set F_cltCode = c.F_code, F_cltName = c.F_cltName, F_cltSex = c.F_sex,"
          " F_cltphone = c.F_cltPhone, F_cltType = c.F_cltType, F_cltJYtype = c.F_JYtype,"
          " F_cltWork = c.F_cltWork, F_cltInfo = c.F_cltInfo, F_cltStatus = c.F_status,"
          " F_cltLaiyuan = c.F_laiyuan"
          " from Client c where c.F_mainID = T_FYcltLink.F_cltID"}) {
        if (!copy.prepare(db, sql) || !copy.exec())
            return failed(copy);
    }
    return true;
}

// ---------------------------------------------------------------- made-up values

std::string DemoDataGenerator::personName(bool male)
{
    std::string name = below(2) ? Surnames[below(CommonSurnames)] : pick(Surnames);
    name += male ? pick(MaleGiven) : pick(FemaleGiven);
    if (chance(65))
        name += male ? pick(MaleGiven) : pick(FemaleGiven);
    return name;
}

std::string DemoDataGenerator::mobile()
{
    return str({pick(MobilePrefixes), digits(8)});
}

std::string DemoDataGenerator::digits(int count)
{
    std::string out(size_t(count), '0');
    for (char &c : out)
        c = char('0' + below(10));
    return out;
}

// An identity number with a birthplace, a birth date of an adult and the
// check character, so that checks on it pass.
std::string DemoDataGenerator::idNumber()
{
    std::string id = str({pick(BirthplaceCodes), number(m_todayYear - 22 - below(44)), number(1 + below(12), 2),
                          number(1 + below(28), 2), digits(3)});
    static const int weights[] = {7, 9, 10, 5, 8, 4, 2, 1, 6, 3, 7, 9, 10, 5, 8, 4, 2};
    int sum = 0;
    for (int i = 0; i < 17; ++i)
        sum += (id[size_t(i)] - '0') * weights[i];
    return id + "10X98765432"[sum % 11];
}

// Each entry of a list with the given chance, as a multiple choice stores them.
std::string DemoDataGenerator::someOf(const std::vector<std::string> &names, int percent)
{
    std::string out;
    for (const std::string &name : names) {
        if (chance(percent))
            out += str({out.empty() ? "" : ",", name});
    }
    return out;
}

// Mostly the first entry of a list (the usual case, such as 有效), otherwise any.
std::string DemoDataGenerator::choose(const std::vector<std::string> &names, int percent)
{
    return chance(percent) ? names.front() : pick(names);
}

const std::string &DemoDataGenerator::date(int daysFromToday) const
{
    return m_dates[size_t(daysFromToday + HistoryDays)];
}

std::string DemoDataGenerator::moment(int daysFromToday)
{
    return str({date(daysFromToday), " ", number(8 + below(12), 2), ":", number(below(60), 2), ":",
                number(below(60), 2)});
}

// A day from `from` (days relative to today, not after today) up to today.
int DemoDataGenerator::dayBetween(int from)
{
    return from + below(1 - from);
}

quint64 DemoDataGenerator::nextRandom()
{
    // splitmix64: the same numbers from the same seed with every compiler and library.
    quint64 z = (m_state += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

int DemoDataGenerator::below(int n)
{
    return n <= 1 ? 0 : int(nextRandom() % quint64(n));
}

const DemoDataGenerator::Kind &DemoDataGenerator::pickWeighted(const std::vector<Kind> &kinds)
{
    int total = 0;
    for (const Kind &kind : kinds)
        total += kind.weight;
    int left = below(total);
    for (const Kind &kind : kinds) {
        if (left < kind.weight)
            return kind;
        left -= kind.weight;
    }
    return kinds.back();
}

} // namespace Quellon
