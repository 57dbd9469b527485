-- Monitoring database, SQLite edition (the embedded default).
-- Same tables, columns, column order and widths as sqlserver/schema.sql
-- (NTEXT here is NVARCHAR(MAX) there). Ids the database assigns are
-- AUTOINCREMENT, as SQL Server's identity never hands out an id twice.
-- Names, logins and paths compare without letter case, as on SQL Server;
-- date-times are stored as 'YYYY-MM-DD HH:MM:SS' text.

CREATE TABLE Users (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    name NVARCHAR(64) COLLATE NOCASE NOT NULL UNIQUE,
    password NVARCHAR(64),
    comment NVARCHAR(260),
    type INT NOT NULL DEFAULT 0,
    permission INT NOT NULL DEFAULT 0
);

CREATE TABLE Client (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    IP NVARCHAR(16),
    NoteName NVARCHAR(260),
    Name NVARCHAR(64) COLLATE NOCASE,
    MAC NVARCHAR(16),
    Status INT NOT NULL DEFAULT 0,
    Type INT NOT NULL DEFAULT 0,
    Stopped INT NOT NULL DEFAULT 0
);

CREATE TABLE StrategyTable (
    StrategyName NVARCHAR(64) COLLATE NOCASE,
    StrategyDescriptor NVARCHAR(260),
    StrategyType INT,
    SelectedItem NTEXT,
    ItemAttribute INT,
    DeviceType INT,
    LoginType INT,
    UserId NVARCHAR(64) COLLATE NOCASE,
    LoginId NVARCHAR(64) COLLATE NOCASE,
    ManageId NVARCHAR(64),
    SelectedFolder NTEXT COLLATE NOCASE,
    FilterType INT,
    SelectedFileType NTEXT,
    TaskMode INT,
    StartTime INT,
    NumOfDay INT,
    NumOfWeek INT,
    WhichWeek INT,
    WhichMonth INT,
    Mode INT,
    DayOfMonth INT,
    WeekOfMonth INT,
    DayOfWeek INT,
    OverTime INT,
    IsAutoDelete INT,
    IsStopTask INT,
    NumOfHours INT,
    NumOfMunites INT,
    IsStartHips INT,
    IsHistoryCopy INT,
    IsSavePlave INT,
    IsReport INT,
    IsJixianData INT,
    FilterBehavior INT,
    DefaultRule INT,
    NumOfHistoryCopy INT,
    SavePlace NVARCHAR(260) COLLATE NOCASE,
    ReportPlace NVARCHAR(260) COLLATE NOCASE,
    Ip NVARCHAR(16),
    Status INT,
    id NVARCHAR(32),
    IgnoreFolder NTEXT COLLATE NOCASE,
    RunStatus INT
);

CREATE TABLE IpAddressTable (
    IpNo INT,
    IpCreaterName NVARCHAR(64) COLLATE NOCASE,
    IpCreateTime NVARCHAR(20),
    IpModifyTime NVARCHAR(20),
    IpStrategyName NVARCHAR(64) COLLATE NOCASE,
    IpStrategyContent NTEXT,
    IpStrategyExplain NVARCHAR(260)
);

CREATE TABLE MacAddressTable (
    MacNo INT,
    MacCreaterName NVARCHAR(64) COLLATE NOCASE,
    MacCreateTime NVARCHAR(20),
    MacModifyTime NVARCHAR(20),
    MacStrategyName NVARCHAR(64) COLLATE NOCASE,
    MacStrategyContent NTEXT,
    MacStrategyExplain NVARCHAR(260)
);

CREATE TABLE SeverStrategyTable (
    SeverNo INT,
    SeverCreaterName NVARCHAR(64) COLLATE NOCASE,
    SeverCreateTime NVARCHAR(20),
    SeverModifyTime NVARCHAR(20),
    SeverStrategyName NVARCHAR(64) COLLATE NOCASE,
    SeverStrategyICMP NVARCHAR(260),
    SeverStrategyTCP NVARCHAR(260),
    SeverStrategyUDP NVARCHAR(260),
    SeverStrategyExplain NVARCHAR(260)
);

CREATE TABLE AppStrategyTable (
    AppNo INT,
    AppCreaterName NVARCHAR(64) COLLATE NOCASE,
    AppCreateTime NVARCHAR(20),
    AppModifyTime NVARCHAR(20),
    AppStrategyName NVARCHAR(64) COLLATE NOCASE,
    AppIpAddress NVARCHAR(16),
    AppFilePath NVARCHAR(260) COLLATE NOCASE,
    AppStrategyExplain NVARCHAR(260),
    id NVARCHAR(32)
);

CREATE TABLE EquipStrategyTable (
    EquipNo INT,
    EquipCreaterName NVARCHAR(64) COLLATE NOCASE,
    EquipCreateTime NVARCHAR(20),
    EquipModifyTime NVARCHAR(20),
    EquipStrategyName NVARCHAR(64) COLLATE NOCASE,
    EquipQueryOrder NVARCHAR(260),
    EquipManageOrder NVARCHAR(260),
    EquipStrategyExplain NVARCHAR(260),
    id NVARCHAR(32)
);

CREATE TABLE RegStrategyTable (
    RegNo INT,
    RegCreaterName NVARCHAR(64) COLLATE NOCASE,
    RegCreateTime NVARCHAR(20),
    RegModifyTime NVARCHAR(20),
    RegStrategyName NVARCHAR(64) COLLATE NOCASE,
    RegIpAddress NVARCHAR(16),
    RegFilePath NVARCHAR(260) COLLATE NOCASE,
    RegStrategyExplain NVARCHAR(260),
    id NVARCHAR(32)
);

CREATE TABLE Filter (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    ClientIP NVARCHAR(16),
    FilterName NVARCHAR(64) COLLATE NOCASE,
    RegExp NTEXT COLLATE NOCASE,
    TypeOfHipsRule INT,
    MatchType INT,
    OperatorType INT,
    DefaultAction INT,
    DefaultLogFilter INT
);

CREATE TABLE Rules (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    FilterName NVARCHAR(64) COLLATE NOCASE,
    FilterID INT,
    OperatorType INT,
    CompareType INT,
    MatchActionType INT,
    UnicodeIndex INT,
    UnicodeName NTEXT
);

CREATE TABLE Trust (
    id INT NOT NULL PRIMARY KEY,
    type INT,
    ClientIP NVARCHAR(16),
    Content NTEXT COLLATE NOCASE
);

CREATE TABLE reinforcingPolicy (
    policyName NTEXT COLLATE NOCASE,
    policyDoc NTEXT,
    policyObjective NVARCHAR(260),
    policyTemplate INT
);

CREATE TABLE netSecurity (
    policyName NTEXT COLLATE NOCASE,
    interactiveAddress NVARCHAR(64),
    localPort NVARCHAR(64),
    terminalPort NVARCHAR(64),
    direction INT,
    listType INT,
    enabled INT DEFAULT 1
);

CREATE TABLE Copy (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    ClientIP NVARCHAR(16),
    StrategyName NVARCHAR(64) COLLATE NOCASE,
    StrategyType INT,
    CreateTime DATETIME,
    CopyVolumn INT,
    RestoreStatus INT,
    BaseLine INT,
    CopyFilePath NVARCHAR(260) COLLATE NOCASE
);

CREATE TABLE AuditLog (
    LogHostIp NVARCHAR(16),
    LogStyle NVARCHAR(64),
    LogContent NTEXT,
    LogTime DATETIME,
    LogDetail NTEXT,
    Strategyid NVARCHAR(32),
    StrategyVersion INT
);

CREATE TABLE HIPSLog (
    LogHostIp NVARCHAR(16),
    LogStyle NVARCHAR(64),
    LogContent NTEXT,
    LogTime DATETIME,
    HIPSAction NVARCHAR(64),
    StrategyName NVARCHAR(64) COLLATE NOCASE
);

CREATE TABLE SystemLog (
    LogTime DATETIME,
    LogStyle NVARCHAR(64),
    LogContent NTEXT,
    LogHostIp NVARCHAR(16)
);

CREATE TABLE ReportCenterTable (
    ReportName NVARCHAR(260) COLLATE NOCASE,
    StrategyName NVARCHAR(64) COLLATE NOCASE,
    ProduceTime DATETIME,
    StrategyVersion INT,
    DetailContent NTEXT
);

CREATE TABLE StrategyBaseLineTable (
    StrategyName NVARCHAR(64) COLLATE NOCASE,
    CurrVersionNumber INT
);

CREATE TABLE service (
    serviceName NVARCHAR(260) COLLATE NOCASE,
    serviceDoc NVARCHAR(260),
    servicePath NVARCHAR(260) COLLATE NOCASE,
    enabled INT
);

CREATE TABLE startup (
    startupProject NVARCHAR(260) COLLATE NOCASE,
    startupProgram NVARCHAR(260) COLLATE NOCASE,
    startupPath NVARCHAR(260) COLLATE NOCASE,
    enabled INT
);

CREATE TABLE winShare (
    shareName NVARCHAR(260) COLLATE NOCASE,
    shareType NVARCHAR(64),
    sharePath NVARCHAR(260) COLLATE NOCASE,
    enabled INT
);

CREATE TABLE peripheral (
    peripheralType NVARCHAR(64),
    displayName NVARCHAR(260) COLLATE NOCASE,
    driverPath NVARCHAR(260) COLLATE NOCASE,
    enabled INT
);

CREATE INDEX IX_StrategyTable_Name ON StrategyTable (StrategyName);
CREATE INDEX IX_StrategyTable_Id ON StrategyTable (id);
CREATE INDEX IX_AuditLog_Time ON AuditLog (LogTime);
CREATE INDEX IX_AuditLog_Strategy ON AuditLog (Strategyid);
CREATE INDEX IX_HIPSLog_Time ON HIPSLog (LogTime);
CREATE INDEX IX_HIPSLog_Action ON HIPSLog (HIPSAction);
CREATE INDEX IX_SystemLog_Time ON SystemLog (LogTime);
CREATE INDEX IX_AuditLog_Host_Time ON AuditLog (LogHostIp, LogTime);
CREATE INDEX IX_HIPSLog_Host_Time ON HIPSLog (LogHostIp, LogTime);
CREATE INDEX IX_SystemLog_Host_Time ON SystemLog (LogHostIp, LogTime);
CREATE INDEX IX_Copy_Client ON Copy (ClientIP);
CREATE INDEX IX_service_Name ON service (serviceName);
