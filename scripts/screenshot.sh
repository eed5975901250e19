#!/usr/bin/env bash
echo "make screenshot: not yet"
