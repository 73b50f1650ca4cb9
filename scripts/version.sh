# Sourced: the version the packages carry, the one the window's caption and tempikctl --version
# show as V1.40-01.
version=1.40.01
file_version=1.40.1.0
