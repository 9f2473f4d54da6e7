// A shared library like any other: no Qt plugin metadata.
extern "C" int updatetheme_not_a_plugin()
{
    return 42;
}
