#!/usr/bin/env bash
echo "make fuzz: not yet"
