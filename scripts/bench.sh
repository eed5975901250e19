#!/usr/bin/env bash
echo "make bench: not yet"
