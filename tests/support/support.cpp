// The shared test fixtures are header-only or compiled here.
