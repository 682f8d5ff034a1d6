-- The roles of a team's VERDO store on a PostgreSQL server. Run once, as the owner of
-- VERDO's tables, in the database and schema that hold them:
--   psql "host=builddb dbname=verdo" -f /usr/share/verdo/roles.sql
-- then give each login one of the two roles:
--   CREATE ROLE ci LOGIN IN ROLE verdo_build;
--   CREATE ROLE anna LOGIN IN ROLE verdo_editor;
-- verdo_build, for build agents: reads the projects, raises only their version numbers
-- and export stamps, and adds rows to the build ledger; it may not change strings,
-- delete projects, or change or delete ledger rows.
-- verdo_editor, for people using the editor: everything on the projects, their extra
-- strings and the lookup tables, and adds ledger rows for its exports; it may not change
-- or delete ledger rows either.
DO $$
BEGIN
    -- Roles belong to the whole server: two databases set up at once must not both make them.
    PERFORM pg_advisory_xact_lock(hashtext('verdo roles'));
    IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'verdo_build') THEN
        CREATE ROLE verdo_build NOLOGIN;
    END IF;
    IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'verdo_editor') THEN
        CREATE ROLE verdo_editor NOLOGIN;
    END IF;
    EXECUTE format('GRANT USAGE ON SCHEMA %I TO verdo_build, verdo_editor', current_schema());
END
$$;

GRANT SELECT ON resfile, extraseg, fileos, filetype, codepage, langid, resbuild TO verdo_build;
GRANT UPDATE (fv_1, fv_2, fv_3, fv_4, pv_1, pv_2, pv_3, pv_4, exportdate, exporttime) ON resfile TO verdo_build;
GRANT INSERT ON resbuild TO verdo_build;

GRANT SELECT, INSERT, UPDATE, DELETE ON resfile, extraseg, fileos, filetype, codepage, langid TO verdo_editor;
GRANT SELECT, INSERT ON resbuild TO verdo_editor;
