find_package(GTest REQUIRED)
enable_testing()
