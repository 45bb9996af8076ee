-- The delivered database: seven tables and the two operators.
-- Date/time values are text: "YYYY-MM-DD HH:MM:SS" for moments, "HH:MM:SS" for times of day.
PRAGMA user_version = 1;

CREATE TABLE tblListItems (
  ID     INTEGER PRIMARY KEY AUTOINCREMENT,
  tName  TEXT COLLATE NOCASE,
  tDesc  TEXT COLLATE NOCASE,
  wType  INTEGER NOT NULL DEFAULT 0
);

CREATE TABLE tblButtons (
  ID          INTEGER PRIMARY KEY AUTOINCREMENT,
  lParentID   INTEGER NOT NULL,
  tButtonCode TEXT NOT NULL
              CHECK (length(tButtonCode) = 6 AND tButtonCode NOT GLOB '*[^0-9A-F]*'),
  tButtonName TEXT COLLATE NOCASE,
  tButtonDesc TEXT
);
CREATE UNIQUE INDEX uxButtons_Code ON tblButtons (tButtonCode);
CREATE INDEX ixButtons_Parent ON tblButtons (lParentID);

CREATE TABLE tblReaders (
  tReaderId    TEXT NOT NULL PRIMARY KEY
               CHECK (length(tReaderId) = 8 AND tReaderId NOT GLOB '*[^0-9A-F]*'),
  tDescription TEXT COLLATE NOCASE
);

CREATE TABLE tblTours (
  ID          INTEGER PRIMARY KEY AUTOINCREMENT,
  tName       TEXT COLLATE NOCASE,
  tDesc       TEXT COLLATE NOCASE,
  iTolerance  INTEGER NOT NULL DEFAULT 5,
  dtStartTime TEXT NOT NULL DEFAULT '00:00:00'
              CHECK (length(dtStartTime) = 8 AND dtStartTime GLOB '[0-2][0-9]:[0-5][0-9]:[0-5][0-9]')
);

CREATE TABLE tblTourPoints (
  ID          INTEGER PRIMARY KEY AUTOINCREMENT,
  lParentID   INTEGER NOT NULL,
  lIndex      INTEGER NOT NULL,
  dtTime      TEXT NOT NULL
              CHECK (length(dtTime) = 8 AND dtTime GLOB '[0-2][0-9]:[0-5][0-9]:[0-5][0-9]'),
  tButtonCode TEXT NOT NULL
              CHECK (length(tButtonCode) = 6 AND tButtonCode NOT GLOB '*[^0-9A-F]*')
);
CREATE INDEX ixTourPoints_Order ON tblTourPoints (lParentID, lIndex);

-- No constraint here: a downloaded touch is never refused.
CREATE TABLE tblEvents (
  ID           INTEGER PRIMARY KEY AUTOINCREMENT,
  dtDLDateTime TEXT,
  dtDateTime   TEXT,
  tButtonCode  TEXT,
  tButtonName  TEXT,
  tButtonDesc  TEXT,
  wGroupType   INTEGER,
  tGroupName   TEXT,
  tGroupDesc   TEXT,
  tPipeID      TEXT
);
CREATE INDEX ixEvents_ReaderTime ON tblEvents (tPipeID, dtDateTime);
CREATE INDEX ixEvents_Time ON tblEvents (dtDateTime);

CREATE TABLE tblOperators (
  LoginName TEXT NOT NULL PRIMARY KEY COLLATE NOCASE,
  Password  TEXT
);
INSERT INTO tblOperators (LoginName, Password) VALUES ('MASTER', 'master');
INSERT INTO tblOperators (LoginName, Password) VALUES ('USER', 'user');
