-- Initial data of a new monitoring database (both editions): the built-in
-- administrator account, all areas allowed. Its password is to be changed
-- on the users page after the first login.
INSERT INTO Users (name, password, comment, type, permission) VALUES ('tamuk', 'tamuk', '', 1, 31);
