-- Monitoring database, SQL Server edition (production).
-- Same tables, columns, column order and widths as sqlite/schema.sql.
-- Run in the monitoring database, for example with
--   sqlcmd -S server -d database -i schema.sql -i ../initial-data.sql
-- Text columns are Unicode (N types): the console reads only those as text.
-- Names hold 64 characters and paths 260; texts the console takes without a
-- length limit (filter patterns, trust contents, rule strings, policy names
-- and descriptions) are NVARCHAR(MAX).

CREATE TABLE Users (
    id INT IDENTITY(1,1) PRIMARY KEY,
    name NVARCHAR(64) NOT NULL UNIQUE,
    password NVARCHAR(64),
    comment NVARCHAR(260),
    type INT NOT NULL DEFAULT 0,
    permission INT NOT NULL DEFAULT 0
);

CREATE TABLE Client (
    id INT IDENTITY(1,1) PRIMARY KEY,
    IP NVARCHAR(16),
    NoteName NVARCHAR(260),
    Name NVARCHAR(64),
    MAC NVARCHAR(16),
    Status INT NOT NULL DEFAULT 0,
    Type INT NOT NULL DEFAULT 0,
    Stopped INT NOT NULL DEFAULT 0
);

CREATE TABLE StrategyTable (
    StrategyName NVARCHAR(64),
    StrategyDescriptor NVARCHAR(260),
    StrategyType INT,
    SelectedItem NVARCHAR(MAX),
    ItemAttribute INT,
    DeviceType INT,
    LoginType INT,
    UserId NVARCHAR(64),
    LoginId NVARCHAR(64),
    ManageId NVARCHAR(64),
    SelectedFolder NVARCHAR(MAX),
    FilterType INT,
    SelectedFileType NVARCHAR(MAX),
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
    SavePlace NVARCHAR(260),
    ReportPlace NVARCHAR(260),
    Ip NVARCHAR(16),
    Status INT,
    id NVARCHAR(32),
    IgnoreFolder NVARCHAR(MAX),
    RunStatus INT
);

CREATE TABLE IpAddressTable (
    IpNo INT,
    IpCreaterName NVARCHAR(64),
    IpCreateTime NVARCHAR(20),
    IpModifyTime NVARCHAR(20),
    IpStrategyName NVARCHAR(64),
    IpStrategyContent NVARCHAR(MAX),
    IpStrategyExplain NVARCHAR(260)
);

CREATE TABLE MacAddressTable (
    MacNo INT,
    MacCreaterName NVARCHAR(64),
    MacCreateTime NVARCHAR(20),
    MacModifyTime NVARCHAR(20),
    MacStrategyName NVARCHAR(64),
    MacStrategyContent NVARCHAR(MAX),
    MacStrategyExplain NVARCHAR(260)
);

CREATE TABLE SeverStrategyTable (
    SeverNo INT,
    SeverCreaterName NVARCHAR(64),
    SeverCreateTime NVARCHAR(20),
    SeverModifyTime NVARCHAR(20),
    SeverStrategyName NVARCHAR(64),
    SeverStrategyICMP NVARCHAR(260),
    SeverStrategyTCP NVARCHAR(260),
    SeverStrategyUDP NVARCHAR(260),
    SeverStrategyExplain NVARCHAR(260)
);

CREATE TABLE AppStrategyTable (
    AppNo INT,
    AppCreaterName NVARCHAR(64),
    AppCreateTime NVARCHAR(20),
    AppModifyTime NVARCHAR(20),
    AppStrategyName NVARCHAR(64),
    AppIpAddress NVARCHAR(16),
    AppFilePath NVARCHAR(260),
    AppStrategyExplain NVARCHAR(260),
    id NVARCHAR(32)
);

CREATE TABLE EquipStrategyTable (
    EquipNo INT,
    EquipCreaterName NVARCHAR(64),
    EquipCreateTime NVARCHAR(20),
    EquipModifyTime NVARCHAR(20),
    EquipStrategyName NVARCHAR(64),
    EquipQueryOrder NVARCHAR(260),
    EquipManageOrder NVARCHAR(260),
    EquipStrategyExplain NVARCHAR(260),
    id NVARCHAR(32)
);

CREATE TABLE RegStrategyTable (
    RegNo INT,
    RegCreaterName NVARCHAR(64),
    RegCreateTime NVARCHAR(20),
    RegModifyTime NVARCHAR(20),
    RegStrategyName NVARCHAR(64),
    RegIpAddress NVARCHAR(16),
    RegFilePath NVARCHAR(260),
    RegStrategyExplain NVARCHAR(260),
    id NVARCHAR(32)
);

CREATE TABLE Filter (
    id INT IDENTITY(1,1) PRIMARY KEY,
    ClientIP NVARCHAR(16),
    FilterName NVARCHAR(64),
    RegExp NVARCHAR(MAX),
    TypeOfHipsRule INT,
    MatchType INT,
    OperatorType INT,
    DefaultAction INT,
    DefaultLogFilter INT
);

CREATE TABLE Rules (
    id INT IDENTITY(1,1) PRIMARY KEY,
    FilterName NVARCHAR(64),
    FilterID INT,
    OperatorType INT,
    CompareType INT,
    MatchActionType INT,
    UnicodeIndex INT,
    UnicodeName NVARCHAR(MAX)
);

CREATE TABLE Trust (
    id INT NOT NULL PRIMARY KEY,
    type INT,
    ClientIP NVARCHAR(16),
    Content NVARCHAR(MAX)
);

CREATE TABLE reinforcingPolicy (
    policyName NVARCHAR(MAX),
    policyDoc NVARCHAR(MAX),
    policyObjective NVARCHAR(260),
    policyTemplate INT
);

CREATE TABLE netSecurity (
    policyName NVARCHAR(MAX),
    interactiveAddress NVARCHAR(64),
    localPort NVARCHAR(64),
    terminalPort NVARCHAR(64),
    direction INT,
    listType INT,
    enabled INT DEFAULT 1
);

CREATE TABLE Copy (
    id INT IDENTITY(1,1) PRIMARY KEY,
    ClientIP NVARCHAR(16),
    StrategyName NVARCHAR(64),
    StrategyType INT,
    CreateTime DATETIME,
    CopyVolumn INT,
    RestoreStatus INT,
    BaseLine INT,
    CopyFilePath NVARCHAR(260)
);

CREATE TABLE AuditLog (
    LogHostIp NVARCHAR(16),
    LogStyle NVARCHAR(64),
    LogContent NVARCHAR(MAX),
    LogTime DATETIME,
    LogDetail NVARCHAR(MAX),
    Strategyid NVARCHAR(32),
    StrategyVersion INT
);

CREATE TABLE HIPSLog (
    LogHostIp NVARCHAR(16),
    LogStyle NVARCHAR(64),
    LogContent NVARCHAR(MAX),
    LogTime DATETIME,
    HIPSAction NVARCHAR(64),
    StrategyName NVARCHAR(64)
);

CREATE TABLE SystemLog (
    LogTime DATETIME,
    LogStyle NVARCHAR(64),
    LogContent NVARCHAR(MAX),
    LogHostIp NVARCHAR(16)
);

CREATE TABLE ReportCenterTable (
    ReportName NVARCHAR(260),
    StrategyName NVARCHAR(64),
    ProduceTime DATETIME,
    StrategyVersion INT,
    DetailContent NVARCHAR(MAX)
);

CREATE TABLE StrategyBaseLineTable (
    StrategyName NVARCHAR(64),
    CurrVersionNumber INT
);

CREATE TABLE service (
    serviceName NVARCHAR(260),
    serviceDoc NVARCHAR(260),
    servicePath NVARCHAR(260),
    enabled INT
);

CREATE TABLE startup (
    startupProject NVARCHAR(260),
    startupProgram NVARCHAR(260),
    startupPath NVARCHAR(260),
    enabled INT
);

CREATE TABLE winShare (
    shareName NVARCHAR(260),
    shareType NVARCHAR(64),
    sharePath NVARCHAR(260),
    enabled INT
);

CREATE TABLE peripheral (
    peripheralType NVARCHAR(64),
    displayName NVARCHAR(260),
    driverPath NVARCHAR(260),
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
