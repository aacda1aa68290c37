-- Quellon database, schema version 1 (SQLite).
-- Column names keep their stored spelling; SQLite compares identifiers without
-- regard to case, as the program's statements expect.
-- Dates are ISO text: 'yyyy-MM-dd' for dates, 'yyyy-MM-dd hh:mm:ss' for moments.
-- Unset optional dates hold the sentinel '1900-08-14'.

CREATE TABLE House (
  F_ID INTEGER PRIMARY KEY AUTOINCREMENT,
  F_mainID INTEGER,
  F_code VARCHAR(50),
  F_name VARCHAR(255),
  F_area VARCHAR(255),
  F_FWtype VARCHAR(50),
  F_FWhtype VARCHAR(50),
  F_louceng VARCHAR(50),
  F_jzMianji VARCHAR(50),
  F_sjMianji VARCHAR(50),
  F_jzYear VARCHAR(50),
  F_jzMem TEXT,
  F_xqName VARCHAR(255),
  F_FYaddress VARCHAR(255),
  F_JYtype VARCHAR(50),
  F_sheshi TEXT,
  F_jiaju VARCHAR(255),
  F_dianqi VARCHAR(255),
  F_chaoshi VARCHAR(255),
  F_yiyuan VARCHAR(255),
  F_xuexiao VARCHAR(255),
  F_gongjiao VARCHAR(255),
  F_IFzu BOOLEAN DEFAULT 0,
  F_zuPrice DOUBLE PRECISION,
  F_dprice1 VARCHAR(50),
  F_SJprice1 DOUBLE PRECISION,
  F_IFsale BOOLEAN DEFAULT 0,
  F_salePrice DOUBLE PRECISION,
  F_dprice2 DOUBLE PRECISION,
  F_SJprice2 DOUBLE PRECISION,
  F_FKmem TEXT,
  F_YJmem TEXT,
  F_memo1 TEXT,
  F_LXempName VARCHAR(50),
  F_LXemail VARCHAR(255),
  F_LXphone VARCHAR(50),
  F_LXhandPhone VARCHAR(50),
  F_memo2 TEXT,
  F_editDate TIMESTAMP,
  F_OperName VARCHAR(50),
  F_Laiyuan VARCHAR(255),
  F_status VARCHAR(50),
  F_EmpName VARCHAR(50),
  F_memo3 TEXT,
  F_qsType VARCHAR(50),
  F_tdType VARCHAR(50),
  F_cqCode VARCHAR(50),
  F_LH VARCHAR(50),
  F_YT VARCHAR(255),
  F_memo4 TEXT,
  F_ZF1 VARCHAR(255),
  F_ZF2 VARCHAR(255),
  F_ZF3 VARCHAR(50),
  F_ZF4 VARCHAR(50),
  F_ZF5 VARCHAR(50),
  F_SZ1 DOUBLE PRECISION,
  F_SZ2 DOUBLE PRECISION,
  F_SZ3 DOUBLE PRECISION,
  F_SZ4 DOUBLE PRECISION,
  F_SZ5 DOUBLE PRECISION,
  F_RQ1 DATE,
  F_RQ2 DATE,
  F_RQ3 DATE,
  F_RQ4 DATE,
  F_RQ5 DATE,
  F_flag INTEGER NOT NULL DEFAULT 0,
  F_PPempname VARCHAR(50),
  F_PPmemo1 TEXT
);

CREATE TABLE Client (
  F_ID INTEGER PRIMARY KEY AUTOINCREMENT,
  F_mainID INTEGER,
  F_code VARCHAR(50),
  F_status VARCHAR(50),
  F_laiyuan VARCHAR(50),
  F_operName VARCHAR(50),
  F_editDate TIMESTAMP,
  F_cltType VARCHAR(255),
  F_cltName VARCHAR(50),
  F_cltPhone VARCHAR(50),
  F_sex VARCHAR(50),
  F_ZJname VARCHAR(50),
  F_ZJcode VARCHAR(255),
  F_cltAddress VARCHAR(255),
  F_cltWork VARCHAR(255),
  F_cltInfo TEXT,
  F_JYtype VARCHAR(50),
  F_WYname VARCHAR(255),
  F_DDname VARCHAR(255),
  F_area VARCHAR(255),
  F_JGname VARCHAR(255),
  F_YT VARCHAR(255),
  F_sheShi TEXT,
  F_ZSinfo TEXT,
  F_memo1 TEXT,
  F_HXtype VARCHAR(255),
  F_ZF1 VARCHAR(255),
  F_ZF2 VARCHAR(255),
  F_ZF3 VARCHAR(50),
  F_ZF4 VARCHAR(50),
  F_ZF5 VARCHAR(50),
  F_SZ1 DOUBLE PRECISION,
  F_SZ2 DOUBLE PRECISION,
  F_SZ3 DOUBLE PRECISION,
  F_RQ1 DATE,
  F_RQ2 DATE,
  F_RQ3 DATE,
  F_empName VARCHAR(50),
  F_flag INTEGER NOT NULL DEFAULT 0
);

CREATE TABLE T_gjREC (
  F_ID INTEGER PRIMARY KEY AUTOINCREMENT,
  F_mainID INTEGER,
  F_GJdate DATE,
  F_GJcaption VARCHAR(255),
  F_GJmode VARCHAR(50),
  F_empName VARCHAR(50),
  F_memo1 TEXT,
  F_IFawoke BOOLEAN DEFAULT 0,
  F_awokeDate DATE,
  F_TSnum INTEGER DEFAULT 0,
  F_SJdate DATE
);

CREATE TABLE T_KHgjREC (
  F_ID INTEGER PRIMARY KEY AUTOINCREMENT,
  F_mainID INTEGER,
  F_GJdate DATE,
  F_GJcaption VARCHAR(255),
  F_GJmode VARCHAR(50),
  F_empName VARCHAR(50),
  F_memo1 TEXT,
  F_IFawoke BOOLEAN DEFAULT 0,
  F_awokeDate DATE,
  F_TSnum INTEGER DEFAULT 0,
  F_SJdate DATE
);

CREATE TABLE T_cjREC (
  F_ID INTEGER PRIMARY KEY AUTOINCREMENT,
  F_mainID INTEGER,
  F_CJdate DATE,
  F_CJtype VARCHAR(50),
  F_cltName VARCHAR(50),
  F_cltPhone VARCHAR(50),
  F_ZJname VARCHAR(50),
  F_ZJcode VARCHAR(50),
  F_empName VARCHAR(50),
  F_memo1 TEXT,
  F_IFawoke BOOLEAN DEFAULT 0,
  F_awokeDate DATE,
  F_TSnum INTEGER DEFAULT 0,
  F_SJdate DATE,
  F_editDate TIMESTAMP
);

CREATE TABLE T_FYcltLink (
  F_ID INTEGER PRIMARY KEY AUTOINCREMENT,
  F_FYcode VARCHAR(50),
  F_fyID INTEGER,
  F_fyName VARCHAR(255),
  F_fyFWtype VARCHAR(50),
  F_fyFWHtype VARCHAR(50),
  F_fyArea VARCHAR(255),
  F_fyLouceng VARCHAR(50),
  F_fyJZmianji VARCHAR(50),
  F_fyJZmem TEXT,
  F_fyZuPrice DOUBLE PRECISION,
  F_fySalePrice DOUBLE PRECISION,
  F_fyStatus VARCHAR(50),
  F_fyLaiyuan VARCHAR(50),
  F_fyEmpName VARCHAR(50),
  F_cltCode VARCHAR(50),
  F_cltID INTEGER,
  F_cltName VARCHAR(50),
  F_cltSex VARCHAR(50),
  F_cltphone VARCHAR(50),
  F_cltType VARCHAR(50),
  F_cltJYtype VARCHAR(50),
  F_cltWork VARCHAR(255),
  F_cltInfo TEXT,
  F_cltStatus VARCHAR(50),
  F_cltLaiyuan VARCHAR(50),
  F_memo1 TEXT,
  F_editDate TIMESTAMP,
  F_operName VARCHAR(50),
  F_empName VARCHAR(50)
);

CREATE TABLE t_imageREC (
  F_ID INTEGER PRIMARY KEY AUTOINCREMENT,
  F_mainID INTEGER,
  F_FileName VARCHAR(50),
  F_imagePath VARCHAR(255),
  F_FileExt VARCHAR(50),
  F_SETimage BLOB,
  F_Caption VARCHAR(255)
);

-- Kind keys and operator names are compared without regard to letter case.
CREATE TABLE t_code (
  F_ID INTEGER PRIMARY KEY AUTOINCREMENT,
  F_type VARCHAR(50) COLLATE NOCASE,
  F_Name VARCHAR(255)
);

CREATE TABLE t_treecode (
  F_code VARCHAR(60),
  F_name VARCHAR(255),
  F_likecode VARCHAR(255),
  F_flag VARCHAR(20) COLLATE NOCASE
);

CREATE TABLE OperList (
  F_ID INTEGER PRIMARY KEY AUTOINCREMENT,
  F_Name VARCHAR(50) COLLATE NOCASE,
  F_PassWord VARCHAR(255),
  F_Mem TEXT,
  F_Flag BOOLEAN DEFAULT 0,
  F_xtFlag BOOLEAN DEFAULT 0,
  F_empFlag INTEGER DEFAULT 0,
  F_empQX VARCHAR(255)
);

CREATE TABLE Limits (
  F_name VARCHAR(100),
  F_code VARCHAR(20),
  F_flag BOOLEAN DEFAULT 1
);

CREATE TABLE OperLimit (
  F_ID INTEGER PRIMARY KEY AUTOINCREMENT,
  F_OperName VARCHAR(50) COLLATE NOCASE,
  F_lmtName VARCHAR(100)
);

-- F_Name holds the company address: wide enough for one.
CREATE TABLE SysInfo (
  F_ID INTEGER PRIMARY KEY AUTOINCREMENT,
  F_Code VARCHAR(50),
  F_Name VARCHAR(255),
  F_BakPath VARCHAR(255),
  F_Manager VARCHAR(50),
  F_Phone VARCHAR(50),
  F_HandPhone VARCHAR(50),
  F_Email VARCHAR(255),
  F_Homepage VARCHAR(255),
  F_Enroler VARCHAR(50),
  F_Mem VARCHAR(255)
);

CREATE TABLE KeyValue (
  F_ID INTEGER PRIMARY KEY AUTOINCREMENT,
  F_Value VARCHAR(255)
);

CREATE TABLE cfg_grid (
  F_ID INTEGER PRIMARY KEY AUTOINCREMENT,
  F_name VARCHAR(50) COLLATE NOCASE,
  F_fieldname VARCHAR(50),
  F_Order INTEGER DEFAULT 0,
  F_caption VARCHAR(100),
  F_width INTEGER DEFAULT 80,
  F_readonly BOOLEAN DEFAULT 1,
  F_visible BOOLEAN DEFAULT 1,
  F_alignMent INTEGER DEFAULT 0,
  F_displayFormat VARCHAR(50),
  F_footerValue VARCHAR(100),
  F_footerType INTEGER DEFAULT 0
);

CREATE TABLE cfg_import (
  F_ID INTEGER PRIMARY KEY AUTOINCREMENT,
  F_tablename VARCHAR(50) COLLATE NOCASE,
  F_iFlag INTEGER DEFAULT 1,
  F_FieldName VARCHAR(100),
  F_field VARCHAR(100),
  S_Field VARCHAR(100)
);

CREATE TABLE LogRec (
  F_ID INTEGER PRIMARY KEY AUTOINCREMENT,
  F_EmpName VARCHAR(50),
  F_OperType VARCHAR(255),
  F_OperDate VARCHAR(10),
  F_OperTime VARCHAR(8)
);

CREATE TABLE tempCode (
  F_code VARCHAR(400)
);

-- Indexes serve the filters, joins and orders of the lists: each list needs one
-- that covers both its filter and its order, or its first rows wait for a sort.
CREATE INDEX ix_house_flag_code ON House (F_flag, F_code);
CREATE INDEX ix_house_code ON House (F_code);
CREATE UNIQUE INDEX ix_house_mainid ON House (F_mainID);
CREATE INDEX ix_house_flag_area ON House (F_flag, F_area);
CREATE INDEX ix_house_flag_emp ON House (F_flag, F_EmpName);
CREATE INDEX ix_client_flag_code ON Client (F_flag, F_code);
CREATE INDEX ix_client_code ON Client (F_code);
CREATE UNIQUE INDEX ix_client_mainid ON Client (F_mainID);
CREATE INDEX ix_client_flag_type ON Client (F_flag, F_cltType);
CREATE INDEX ix_client_flag_emp ON Client (F_flag, F_empName);
CREATE INDEX ix_gj_main ON T_gjREC (F_mainID);
CREATE INDEX ix_gj_date ON T_gjREC (F_GJdate);
CREATE INDEX ix_gj_remind ON T_gjREC (F_SJdate, F_awokeDate);
CREATE INDEX ix_khgj_main ON T_KHgjREC (F_mainID);
CREATE INDEX ix_khgj_date ON T_KHgjREC (F_GJdate);
CREATE INDEX ix_khgj_remind ON T_KHgjREC (F_SJdate, F_awokeDate);
CREATE INDEX ix_cj_main ON T_cjREC (F_mainID);
CREATE INDEX ix_cj_date ON T_cjREC (F_CJdate);
CREATE INDEX ix_cj_remind ON T_cjREC (F_SJdate, F_awokeDate);
CREATE INDEX ix_link_fy ON T_FYcltLink (F_fyID);
CREATE INDEX ix_link_clt ON T_FYcltLink (F_cltID);
CREATE INDEX ix_image_main ON t_imageREC (F_mainID);
CREATE INDEX ix_code_type ON t_code (F_type);
CREATE INDEX ix_tree_flag_code ON t_treecode (F_flag, F_code);
CREATE INDEX ix_operlimit_oper ON OperLimit (F_OperName);
CREATE INDEX ix_cfggrid_name ON cfg_grid (F_name);
